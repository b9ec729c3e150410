#include "ui_responder.h"

#include "win32/utf16.h"

namespace tarnix::test {

namespace {

constexpr DWORD kPollMs = 20;
constexpr int kFileNameCombo = 0x47C;  // cmb13 of the explorer-style dialog
constexpr int kFileNameEdit = 0x480;   // edt1

DWORD ThisProcess() { return GetCurrentProcessId(); }

bool OwnVisible(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == ThisProcess() && IsWindowVisible(window);
}

struct Found {
  HWND box = nullptr;
  HWND fileDialog = nullptr;
};

// As UTF-8, the plug-in's own spelling.
std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return Utf8FromWide(text);
}

BOOL CALLBACK FindModal(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  if (!OwnVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  // A box shows while it is built; its caption, "?" until then, is set last.
  if (std::string(name) == "MyMessageBox") {
    if (TextOf(window) == "?") return TRUE;
    found->box = window;
    return FALSE;
  }
  if (std::string(name) == "#32770" && (GetDlgItem(window, kFileNameCombo) || GetDlgItem(window, kFileNameEdit))) {
    found->fileDialog = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

// The children are taken as one snapshot rather than walked window by window, so that a box
// whose children change order while it is read is still read whole.
SeenBox Read(HWND box) {
  SeenBox seen;
  seen.caption = TextOf(box);
  seen.owner = GetWindow(box, GW_OWNER);
  std::vector<HWND> children;
  EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof(name));
    const std::string kind = name;
    if (_stricmp(kind.c_str(), "Button") == 0) {
      seen.buttons.push_back(GetDlgCtrlID(child));
    } else if (_stricmp(kind.c_str(), "Static") == 0) {
      if (GetWindowLongPtrA(child, GWL_STYLE) & SS_ICON) {
        seen.icon = true;
      } else {
        std::string text = TextOf(child);
        for (char& c : text) {
          if (c == '\n') c = ' ';
        }
        seen.text = text;
      }
    }
  }
  return seen;
}

// Every box the plug-in shows has a text. Under load a read has once come back without it (the
// cause was not found), so a box read without text is read again until its text shows.
SeenBox ReadWhole(HWND box, DWORD timeoutMs) {
  SeenBox seen = Read(box);
  const DWORD start = GetTickCount();
  while (seen.text.empty() && IsWindow(box) && GetTickCount() - start < timeoutMs) {
    Sleep(kPollMs);
    seen = Read(box);
  }
  return seen;
}

}  // namespace

std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\n' && c != '\r') out += c;
  }
  return out;
}

UiResponder::UiResponder(std::vector<Answer> script, DWORD stepTimeoutMs)
    : script_(std::move(script)), stepTimeoutMs_(stepTimeoutMs), thread_([this] { Run(); }) {}

UiResponder::~UiResponder() { Join(); }

void UiResponder::Join() {
  if (!joined_ && thread_.joinable()) thread_.join();
  joined_ = true;
}

void UiResponder::Run() {
  for (const Answer& step : script_) {
    Found found;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < stepTimeoutMs_) {
      found = Found{};
      EnumWindows(FindModal, reinterpret_cast<LPARAM>(&found));
      if (found.box || found.fileDialog) break;
      Sleep(kPollMs);
    }
    if (!found.box && !found.fileDialog) {
      ++failures_;
      return;
    }
    if (found.box) {
      boxes_.push_back(ReadWhole(found.box, stepTimeoutMs_));
      if (step.kind != Answer::kBox) ++failures_;
      PostMessageA(found.box, WM_COMMAND, MAKEWPARAM(step.kind == Answer::kBox ? step.button : IDCANCEL, 0), 0);
    } else {
      dialogs_.push_back(TextOf(found.fileDialog));
      HWND name = GetDlgItem(found.fileDialog, kFileNameCombo);
      if (!name) name = GetDlgItem(found.fileDialog, kFileNameEdit);
      proposed_.push_back(name ? TextOf(name) : std::string());
      if (step.kind != Answer::kFileDialog) ++failures_;
      if (step.kind == Answer::kFileDialog && !step.path.empty()) {
        const std::wstring path = WideFromUtf8(step.path);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(found.fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      } else {
        PostMessageA(found.fileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    }
    // Wait for the window to go before looking for the next one.
    const HWND gone = found.box ? found.box : found.fileDialog;
    const DWORD closing = GetTickCount();
    while (IsWindow(gone) && IsWindowVisible(gone) && GetTickCount() - closing < stepTimeoutMs_) Sleep(kPollMs);
    ++done_;
  }
}

}  // namespace tarnix::test
