#pragma once
// Names in the test host are UTF-8 strings; the system calls behind them are wide. A text that
// is not valid UTF-8 is taken in the code page, so that tests of code-page bytes keep working.

#include <string>

namespace tarnix::testhost {

std::wstring WideName(const std::string& name);
std::string Utf8Name(const std::wstring& name);

}  // namespace tarnix::testhost
