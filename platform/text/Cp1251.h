// Windows-1251 <-> UTF-8. The model keeps every text as Windows-1251 bytes, exactly as the
// instrument and the files hold them; these conversions are used only at the user-interface edge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::text {

// The Unicode code point of one Windows-1251 byte. The one byte the code page leaves undefined
// (0x98) gives U+FFFD.
char32_t cp1251ToCodePoint(unsigned char byte);

// The Windows-1251 byte of a code point; false when the code page has no such character.
bool codePointToCp1251(char32_t cp, unsigned char& byte);

std::string cp1251ToUtf8(std::string_view cp1251);

// Characters the code page cannot hold (and malformed UTF-8) become '?'; `lossless` (when given)
// tells whether that happened.
std::string utf8ToCp1251(std::string_view utf8, bool* lossless = nullptr);

// Whether every byte is a defined Windows-1251 character (0x98 is not).
bool isValidCp1251(std::string_view bytes);

} // namespace platform::text
