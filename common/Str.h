// The engine's string helpers over UTF-16 (one unit is one character, positions are unit indices).
// Case mapping never changes a string's length: names are mapped in ASCII only, and text case per unit.
// The 1-based helpers (Pos, Copy, Delete, Insert) serve algorithms written with 1-based positions;
// everything else is 0-based.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantern {

using u16 = std::u16string;
using u16v = std::u16string_view;

// ASCII case mapping; other units are left as they are.
constexpr char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
constexpr char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }
u16 UpperAscii(u16v s);

// Value of a hexadecimal digit, or -1 for any other unit.
constexpr int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}
u16 LowerAscii(u16v s);

// Simple (1:1) Unicode case mapping of one unit; surrogates map to themselves.
char16_t UpperUnit(char16_t c);
char16_t LowerUnit(char16_t c);
u16 UpperUnits(u16v s);
u16 LowerUnits(u16v s);

bool SameTextAscii(u16v a, u16v b);
int CompareTextAscii(u16v a, u16v b); // <0, 0, >0 comparing ASCII-upper-cased units
bool StartsTextAscii(u16v prefix, u16v s);
bool EndsTextAscii(u16v suffix, u16v s);

// Trimming removes units at or below U+0020 (and keeps U+00A0).
u16v TrimView(u16v s);
u16v TrimLeftView(u16v s);
u16v TrimRightView(u16v s);
inline u16 Trim(u16v s) { return u16(TrimView(s)); }

// 1-based positions, 0 = not found.
std::size_t Pos(u16v sub, u16v s);
std::size_t PosEx(u16v sub, u16v s, std::size_t from1);
// Copy(s, 1-based index, count) clamps like the framework: an index below 1 counts as 1.
u16 Copy(u16v s, long long index1, long long count);
void Delete(u16& s, long long index1, long long count);
void Insert(u16v what, u16& s, long long index1);

// 0-based position of the last unit of s that is one of delims, or npos.
std::size_t LastDelimiter(u16v delims, u16v s);
void ReplaceAll(u16& s, u16v from, u16v to);

// Strict decimal numbers (C locale, no surrounding blanks, the whole text must be the number).
std::optional<int> TryStrToInt(u16v s);
std::optional<double> TryStrToFloat(u16v s);
u16 IntToStr(long long n);

// UTF-8 <-> UTF-16, replacing ill-formed input with U+FFFD.
std::string ToUtf8(u16v s);
u16 FromUtf8(std::string_view s);
// Latin-1 / ASCII literal to UTF-16 (for building engine strings from narrow constants).
u16 FromAscii(std::string_view s);

} // namespace lantern
