#include "host/player.h"

#include "host/messaging.h"
#include "host/player_codes.h"
#include "host/readable_memory.h"
#include "tracklist/platform.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>

#include "win32/utf16.h"

namespace tarnix {

namespace {

// The skin directory request is the one request that hands the player memory to write into. A
// send that timed out is still delivered once the player's thread gets to it, and the player
// then writes into the buffer, however long after: so the buffer lives as long as the DLL, not
// in the asking frame. Only the UI thread asks.
char g_skinDirectoryBuffer[kSkinDirectoryBufferSize];

// Bounded, so that a text without a terminator cannot run the copy away.
TextString CopyWide(const wchar_t* text) {
  const std::string utf8 = Utf8FromWide(std::wstring_view(text, wcsnlen(text, kMaxPlayerText)));
  return TextString(static_cast<int>(utf8.size()), utf8.data());
}

TextString CopyFromCodePage(const char* text) {
  const std::string utf8 = platform::Utf8FromAnsi(std::string_view(text, strnlen(text, kMaxPlayerText)));
  return TextString(static_cast<int>(utf8.size()), utf8.data());
}

// The text an answer points at, read only where the memory can be read and only up to
// kMaxPlayerText units. The settings requests answer with a pointer or with 0 or 1 for "no
// answer", and an answer a player gives by mistake must not end the process: nullopt then.
template <typename Unit>
std::optional<std::basic_string<Unit>> TextOfAnswer(LRESULT answer) {
  const auto address = static_cast<uintptr_t>(answer);
  if (address <= 1 || address % alignof(Unit) != 0) return std::nullopt;
  std::basic_string<Unit> text;
  const char* at = reinterpret_cast<const char*>(address);
  while (text.size() < static_cast<size_t>(kMaxPlayerText)) {
    // Regions are whole pages, so a text that is aligned has whole units in each.
    const size_t units = ReadableBytesAt(at) / sizeof(Unit);
    if (units == 0) return std::nullopt;
    const Unit* unit = reinterpret_cast<const Unit*>(at);
    for (size_t i = 0; i < units && text.size() < static_cast<size_t>(kMaxPlayerText); ++i) {
      if (unit[i] == 0) return text;
      text.push_back(unit[i]);
    }
    at += units * sizeof(Unit);
  }
  return std::nullopt;
}

}  // namespace

LRESULT Player::Request(WPARAM wParam, LPARAM code) const {
  return SendToPlayer(window_, kPlayerRequest, wParam, code);
}

TextString Player::EntryText(int index, LPARAM wideCode, LPARAM narrowCode) const {
  const WPARAM at = static_cast<WPARAM>(static_cast<LONG_PTR>(index));
  WideEntryTexts asked = WideEntryTexts::kUnknown;
  WideEntryTexts& wide = wide_ ? *wide_ : asked;
  if (wide != WideEntryTexts::kMissing) {
    if (const auto* text = reinterpret_cast<const wchar_t*>(Request(at, wideCode))) {
      wide = WideEntryTexts::kAnswered;
      return CopyWide(text);
    }
  }
  const auto* text = reinterpret_cast<const char*>(Request(at, narrowCode));
  if (text == nullptr) return TextString();
  // A player that has the entry but no wide answer for it predates the wide requests. A 0 for an
  // entry that does not exist says nothing either way.
  if (wide == WideEntryTexts::kUnknown) wide = WideEntryTexts::kMissing;
  return CopyFromCodePage(text);
}

bool Player::IsPlaying() const { return Request(0, kCodeIsPlaying) != 0; }

int Player::OutputTimeMs() const { return static_cast<int>(Request(0, kCodeOutputTime)); }

int Player::LengthMs() const {
  const LRESULT seconds = Request(1, kCodeOutputTime);
  // Lengths past what 32-bit milliseconds hold (about 24 days) count as unknown.
  return seconds > 0 && seconds < 2147483 ? static_cast<int>(seconds) * 1000 : -1;
}

void Player::JumpToTime(int ms) const { Request(static_cast<WPARAM>(static_cast<LONG_PTR>(ms)), kCodeJumpToTime); }

void Player::SetPlaylistPosition(int index) const {
  Request(static_cast<WPARAM>(static_cast<LONG_PTR>(index)), kCodeSetPlaylistPosition);
}

int Player::PlaylistLength() const { return static_cast<int>(Request(0, kCodePlaylistLength)); }

int Player::PlaylistPosition() const { return static_cast<int>(Request(0, kCodePlaylistPosition)); }

std::optional<TextString> Player::SkinDirectory() const {
  char* const buffer = g_skinDirectoryBuffer;
  buffer[0] = kSkinDirectoryUnwritten;
  buffer[1] = '\0';
  Request(reinterpret_cast<WPARAM>(buffer), kCodeSkinDirectory);
  if (buffer[0] == kSkinDirectoryUnwritten) return std::nullopt;
  // A player that fills the whole buffer leaves no terminator: keep what fits.
  buffer[kSkinDirectoryBufferSize - 1] = '\0';
  return CopyFromCodePage(buffer);
}

TextString Player::PlaylistFile(int index) const { return EntryText(index, kCodePlaylistFileW, kCodePlaylistFile); }

TextString Player::PlaylistTitle(int index) const { return EntryText(index, kCodePlaylistTitleW, kCodePlaylistTitle); }

void Player::SendCommand(WPARAM id) const { SendToPlayer(window_, WM_COMMAND, id, 0); }

TextString Player::CheckedText(LPARAM wideCode, LPARAM narrowCode) const {
  const std::optional<std::wstring> wide = TextOfAnswer<wchar_t>(Request(0, wideCode));
  if (wide && !wide->empty()) return CopyWide(wide->c_str());
  const std::optional<std::string> narrow = TextOfAnswer<char>(Request(0, narrowCode));
  if (narrow && !narrow->empty()) return CopyFromCodePage(narrow->c_str());
  return TextString();
}

LPARAM Player::RegisteredCode(const char* name) const {
  const LRESULT code = Request(reinterpret_cast<WPARAM>(name), kCodeRegisterName);
  return code > kCodeRegisterName && code <= 0x7FFFFFFF ? static_cast<LPARAM>(code) : 0;
}

void Player::SendRegistered(LPARAM code, const void* data) const {
  if (code > kCodeRegisterName) Request(reinterpret_cast<WPARAM>(data), code);
}

TextString Player::IniDirectory() const { return CheckedText(kCodeIniDirectoryW, kCodeIniDirectory); }

TextString Player::IniFile() const { return CheckedText(kCodeIniFileW, kCodeIniFile); }

}  // namespace tarnix
