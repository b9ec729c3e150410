#include "tracklist/long_path.h"

namespace tarnix {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring LongPathForm(std::wstring_view fullPath) {
  std::wstring path(fullPath);
  if (path.size() < kClassicPathLimit) return path;
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
      IsSeparator(path[3]))
    return path;
  const bool drive = IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
  const bool share = IsSeparator(path[0]) && IsSeparator(path[1]);
  if (!drive && !share) return path;
  // The long form takes only "\\" between the names.
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return drive ? L"\\\\?\\" + path : L"\\\\?\\UNC\\" + path.substr(2);
}

}  // namespace tarnix
