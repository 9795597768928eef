#pragma once

#include <string>
#include <string_view>

namespace tervasko {

// Windows-1252, the 8-bit code page of font names in the drawing file, of texts in DXF files
// and of the translation table. The five bytes that the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows does,
// so every byte survives a trip to UTF-16 and back.
std::u16string Cp1252ToUtf16(std::string_view bytes);

// Characters outside the code page become `replacement`. Surrogate pairs count as one
// character. Returns through *lossy whether anything was replaced.
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?', bool* lossy = nullptr);

// The byte for one UTF-16 code unit, or -1 when the code page has none.
int Cp1252FromCodeUnit(char16_t unit);

// UTF-8 helpers for texts that come from or go to the outside world (command line, messages).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace tervasko
