#include "testhost/path_limit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace tarnix::testhost {

namespace {

LONG g_refusals = 0;

// The real functions, taken from the module's own import slots before they are replaced.
struct Originals {
  decltype(&CreateFileW) createFile = nullptr;
  decltype(&CreateDirectoryW) createDirectory = nullptr;
  decltype(&DeleteFileW) deleteFile = nullptr;
  decltype(&MoveFileExW) moveFileEx = nullptr;
  decltype(&FindFirstFileW) findFirstFile = nullptr;
  decltype(&GetFileAttributesW) getFileAttributes = nullptr;
  decltype(&GetFileAttributesExW) getFileAttributesEx = nullptr;
  FILE*(__cdecl* wfopen)(const wchar_t*, const wchar_t*) = nullptr;
} g_real;

bool Refused(const wchar_t* path, size_t limit) {
  if (!path || std::wcslen(path) < limit || std::wcsncmp(path, L"\\\\?\\", 4) == 0) return false;
  InterlockedIncrement(&g_refusals);
  SetLastError(ERROR_PATH_NOT_FOUND);
  return true;
}
bool Refused(const wchar_t* path) { return Refused(path, MAX_PATH); }

HANDLE WINAPI LimitedCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile) {
  if (Refused(path)) return INVALID_HANDLE_VALUE;
  return g_real.createFile(path, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI LimitedCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
  if (Refused(path, MAX_PATH - 12)) return FALSE;
  return g_real.createDirectory(path, security);
}
BOOL WINAPI LimitedDeleteFile(LPCWSTR path) { return Refused(path) ? FALSE : g_real.deleteFile(path); }
BOOL WINAPI LimitedMoveFileEx(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (Refused(from) || Refused(to)) return FALSE;
  return g_real.moveFileEx(from, to, flags);
}
HANDLE WINAPI LimitedFindFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
  return Refused(pattern) ? INVALID_HANDLE_VALUE : g_real.findFirstFile(pattern, data);
}
DWORD WINAPI LimitedGetFileAttributes(LPCWSTR path) {
  return Refused(path) ? INVALID_FILE_ATTRIBUTES : g_real.getFileAttributes(path);
}
BOOL WINAPI LimitedGetFileAttributesEx(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info) {
  return Refused(path) ? FALSE : g_real.getFileAttributesEx(path, level, info);
}
FILE* __cdecl LimitedWfopen(const wchar_t* path, const wchar_t* mode) {
  if (Refused(path)) {
    errno = ENOENT;
    return nullptr;
  }
  return g_real.wfopen(path, mode);
}

struct Redirect {
  const char* name;
  void** original;
  void* replacement;
};

}  // namespace

ClassicPathLimit::ClassicPathLimit(HMODULE module) {
  const Redirect redirects[] = {
      {"CreateFileW", reinterpret_cast<void**>(&g_real.createFile), reinterpret_cast<void*>(&LimitedCreateFile)},
      {"CreateDirectoryW", reinterpret_cast<void**>(&g_real.createDirectory),
       reinterpret_cast<void*>(&LimitedCreateDirectory)},
      {"DeleteFileW", reinterpret_cast<void**>(&g_real.deleteFile), reinterpret_cast<void*>(&LimitedDeleteFile)},
      {"MoveFileExW", reinterpret_cast<void**>(&g_real.moveFileEx), reinterpret_cast<void*>(&LimitedMoveFileEx)},
      {"FindFirstFileW", reinterpret_cast<void**>(&g_real.findFirstFile),
       reinterpret_cast<void*>(&LimitedFindFirstFile)},
      {"GetFileAttributesW", reinterpret_cast<void**>(&g_real.getFileAttributes),
       reinterpret_cast<void*>(&LimitedGetFileAttributes)},
      {"GetFileAttributesExW", reinterpret_cast<void**>(&g_real.getFileAttributesEx),
       reinterpret_cast<void*>(&LimitedGetFileAttributesEx)},
      {"_wfopen", reinterpret_cast<void**>(&g_real.wfopen), reinterpret_cast<void*>(&LimitedWfopen)},
  };
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return;
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
    if (!dll->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      for (const Redirect& r : redirects) {
        if (std::strcmp(name, r.name) != 0) continue;
        void** slot = reinterpret_cast<void**>(&slots->u1.Function);
        DWORD protection = 0;
        if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) break;
        *r.original = *slot;
        patched_.push_back({slot, *slot});
        *slot = r.replacement;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
      }
    }
  }
}

ClassicPathLimit::~ClassicPathLimit() {
  for (const Patch& p : patched_) {
    DWORD protection = 0;
    if (!VirtualProtect(p.slot, sizeof *p.slot, PAGE_READWRITE, &protection)) continue;
    *p.slot = p.original;
    VirtualProtect(p.slot, sizeof *p.slot, protection, &protection);
  }
}

long ClassicPathLimit::Refusals() { return g_refusals; }

}  // namespace tarnix::testhost
