; Installer of the Tarnix Plugin: copies gen_tarnix.dll into the player's Plugins folder and
; writes an uninstaller that removes exactly that DLL, itself and its uninstall entry. The
; listener's bookmark folder, .trk files and plugin.ini are never touched.
;
; makensis -DVERSION=x.y.z -DDLL=path\to\gen_tarnix.dll -DREADME=path\to\readme.txt
;          -DOUTFILE=path\to\setup.exe gen_tarnix.nsi

Unicode true
!include LogicLib.nsh

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef DLL
  !error "DLL is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "gen_tarnix-${VERSION}-setup.exe"
!endif

!define PRODUCT "Tarnix Plugin"
!define UNINSTALLER "Uninstall Tarnix Plugin.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\gen_tarnix"
; The player's main window class: while it exists, the player has the DLL loaded.
!define PLAYER_CLASS "Winamp v1.x"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The player keeps its own folder in the default value of this key.
InstallDir "$PROGRAMFILES\Winamp"
InstallDirRegKey HKCU "Software\Winamp" ""
RequestExecutionLevel highest
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

DirText "Choose the Winamp folder: the folder that holds Winamp.exe and its Plugins folder." \
        "Winamp folder"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The directory page's Next button stays disabled for a folder without Plugins.
Function .onVerifyInstDir
  ${IfNot} ${FileExists} "$INSTDIR\Plugins\*.*"
    Abort
  ${EndIf}
FunctionEnd

!macro RefuseWhilePlayerRuns un
Function ${un}RefuseWhilePlayerRuns
  ${Do}
    FindWindow $0 "${PLAYER_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Winamp is running and has gen_tarnix.dll in use. Close Winamp, then choose Retry." \
      /SD IDCANCEL IDRETRY +2
    Abort "Winamp is running: nothing was changed."
  ${Loop}
FunctionEnd
!macroend
!insertmacro RefuseWhilePlayerRuns ""
!insertmacro RefuseWhilePlayerRuns "un."

Section "Tarnix Plugin"
  ; A silent install (/S /D=...) skips the directory page: check the folder here as well.
  ${IfNot} ${FileExists} "$INSTDIR\Plugins\*.*"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR has no Plugins folder: it is not a Winamp folder." /SD IDOK
    Abort "$INSTDIR has no Plugins folder: nothing was installed."
  ${EndIf}
  Call RefuseWhilePlayerRuns

  SetOutPath "$INSTDIR\Plugins"
  ClearErrors
  File "/oname=gen_tarnix.dll" "${DLL}"
  ${If} ${Errors}
    Abort "Couldn't write $INSTDIR\Plugins\gen_tarnix.dll."
  ${EndIf}
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (Winamp plug-in)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller lives in the Plugins folder: $INSTDIR is that folder here.
Section "Uninstall"
  Call un.RefuseWhilePlayerRuns
  Delete "$INSTDIR\gen_tarnix.dll"
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
