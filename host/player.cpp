#include "host/player.h"

#include "host/messaging.h"
#include "host/player_codes.h"
#include "tracklist/platform.h"

#include <cstring>
#include <cwchar>
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

}  // namespace tarnix
