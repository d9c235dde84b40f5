// Code page 1252, the code page of our ANSI calls: text of the display
// (UTF-8) into it for input, and its bytes into Unicode for text output.
#pragma once

#include <string>

namespace win32 {

// Characters with no place in code page 1252 are left out.
std::string utf8_to_cp1252(const std::string &utf8);

// The Unicode character of a byte; 0 for the five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t cp1252_to_unicode(unsigned char byte);

} // namespace win32
