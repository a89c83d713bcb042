// Text helpers shared by every layer. Text inside the program is UTF-8; UTF-16 appears only at
// Windows API calls and in UTF-16 file formats.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
bool IsValidUtf8(std::string_view bytes);

// The system's 8-bit ("ANSI") code page. The Linux stand-in uses Windows-1252.
std::string AnsiToUtf8(std::string_view bytes);
std::string Utf8ToAnsi(std::string_view text);  // characters the code page lacks become '?'

// Decodes a byte buffer that may start with a byte-order mark: UTF-8 and UTF-16 (LE/BE) with a
// mark are decoded as such; without a mark the bytes are taken in the ANSI code page.
std::string DecodeWithBom(std::string_view bytes);

// Case mapping of the letters of the Latin, Greek and Cyrillic scripts; other characters stay.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);  // equal ignoring case
// Position of the first occurrence of `needle` in `text` ignoring case, or npos.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);
// Replaces the first occurrence of `needle` (ignoring case) by `with`.
std::string ReplaceFirstNoCase(std::string_view text, std::string_view needle,
                               std::string_view with);
std::string ReplaceAll(std::string_view text, std::string_view needle, std::string_view with);

// Removes leading and trailing blanks and control characters (everything up to U+0020).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Strict decimal parsers: the whole text (after trimming blanks) must be the number.
bool ParseInt64(std::string_view text, int64_t& out);
// Integer as the Windows profile and Delphi conversions accept it: decimal or "0x"/"$" hex.
bool ParseInt32Loose(std::string_view text, int32_t& out);

}  // namespace platform
