#pragma once
#include <string>
#include <string_view>

namespace quillon::platform {

// The program's text is Windows-1252; the toolkit speaks Unicode. These convert at that
// boundary. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character and map to the C1 code
// points of the same value, so every byte survives a round trip.
char16_t windows1252ToUnicode(unsigned char byte);
// The byte of a character, or -1 when Windows-1252 has none: the exact inverse of
// windows1252ToUnicode.
int unicodeToWindows1252(char32_t c);
std::u16string windows1252ToUtf16(std::string_view bytes);
// Characters without a Windows-1252 byte become `fallback`.
std::string utf16ToWindows1252(std::u16string_view text, char fallback = '?');

}  // namespace quillon::platform
