// Text of the display (UTF-8) in code page 1252, the code page of our ANSI calls.
#pragma once

#include <string>

namespace win32::user {

// Characters with no place in code page 1252 are left out.
std::string utf8_to_cp1252(const std::string &utf8);

} // namespace win32::user
