// Code pages and font charsets: the two fixed tables that relate them, the charset names written in
// documents, the locale's ANSI code page, and the decoding tables of each code page.
//
// Decoding goes through ICU (JOHAB, which ICU lacks, through iconv). A code page is turned once per
// process into a table — 256 single-byte units, the lead-byte set and, for double-byte pages, every
// lead/trail pair — so reading one character is a table lookup, never a converter call.
#pragma once

#include "common/Str.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lantern {

// Code page numbers of the platform, and the engine's own pseudo code pages.
constexpr int CP_ACP = 0;
constexpr int CP_OEMCP = 1;
constexpr int CP_MACCP = 2;
constexpr int CP_UTF8 = 65001;
constexpr int PseudoCpUtf16Le = -3;
constexpr int PseudoCpUtf16Be = -4;
constexpr int PseudoCpIso2022Jp = -5;

// Font charsets.
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
// The engine's own value for EUC-JP: its row in the charset table gives the platform's EUC-JP code page
// 20932, so a page that declares it decodes as what it is rather than as Shift-JIS; its fonts realise it
// as the Japanese charset.
constexpr int EUCJP_CHARSET = 30;
constexpr int ISO8859_2_CHARSET = 31; // the engine's own value
constexpr int MAC_CHARSET = 77;
constexpr int SHIFTJIS_CHARSET = 128;
constexpr int HANGEUL_CHARSET = 129;
constexpr int JOHAB_CHARSET = 130;
constexpr int GB2312_CHARSET = 134;
constexpr int CHINESEBIG5_CHARSET = 136;
constexpr int GREEK_CHARSET = 161;
constexpr int TURKISH_CHARSET = 162;
constexpr int VIETNAMESE_CHARSET = 163;
constexpr int HEBREW_CHARSET = 177;
constexpr int ARABIC_CHARSET = 178;
constexpr int BALTIC_CHARSET = 186;
constexpr int RUSSIAN_CHARSET = 204;
constexpr int THAI_CHARSET = 222;
constexpr int EASTEUROPE_CHARSET = 238;
constexpr int OEM_CHARSET = 255;

// Font charset <-> code page. Both raise EConversionError when the table has no row for the value.
int CodePageOfCharSet(int charSet);
int CharSetOfCodePage(int codePage);
// The same lookups with `fallback` for a value without a row.
int CodePageOfCharSetOr(int charSet, int fallback);
int CharSetOfCodePageOr(int codePage, int fallback);
// The font charset for text decoded with any code page the tables decode: the charset table's row, the
// default charset for UTF-8 and UTF-16, the Japanese charset for ISO-2022-JP, and the default charset for
// a page without a row. Never raises, so no code page can end a document.
int FontCharSetOfCodePage(int codePage);

// One row of the charset-name table.
struct TBuffCharSetCodePageInfo {
    std::string_view Name; // lower case, as the table lists it
    std::int16_t CharSet;
    std::int32_t CodePage;
};

// A charset name as written in a document ("ISO-8859-1", "windows-1252", "UTF-8"...): the exact row,
// else the last row (in the table's sorted order) whose name occurs inside it; nullptr when none does.
const TBuffCharSetCodePageInfo* FindCharSetInfo(u16v name);
// The whole name table, sorted as the lookup scans it.
std::span<const TBuffCharSetCodePageInfo> CharSetInfoTable();

// The ANSI and OEM code pages Windows would pick for a locale name such as "zh_CN.UTF-8" or "ru_RU".
int AnsiCodePageOfLocale(std::string_view locale);
int OemCodePageOfLocale(std::string_view locale);
// The user's ANSI code page (from LC_ALL, LC_CTYPE or LANG), unless a test has overridden it.
int AnsiCodePage();
// Tests pin CP_ACP with this; 0 returns to the locale's choice.
void SetAnsiCodePageOverride(int codePage);

// The decoding tables of one code page. Shared, built on first use, never freed.
struct TCodePageTable {
    int CodePage = 0; // the code page actually decoded (CP_ACP, CP_OEMCP and CP_MACCP resolved)
    bool DoubleByte = false;
    char16_t Replacement = u'?'; // what an undecodable byte or pair becomes
    std::array<char16_t, 256> Single{}; // a byte alone; Single[0] is 0
    std::array<bool, 256> Lead{};
    std::vector<char16_t> Pairs; // DoubleByte only: index lead * 256 + trail

    char16_t Pair(std::uint8_t lead, std::uint8_t trail) const { return Pairs[lead * 256u + trail]; }
};

// codePage >= 0: a platform code page number (0, 1 and 2 follow the locale). Unknown numbers decode
// as windows-1252.
const TCodePageTable& CodePageTable(int codePage);

// Whole-text conversions with the platform converter's semantics (every byte converted, zero bytes
// included, ill-formed input replaced): the counterpart of one MultiByteToWideChar call.
u16 DecodeBytes(int codePage, std::span<const std::uint8_t> bytes);
u16 DecodeUtf8(std::span<const std::uint8_t> bytes);

// True when the bytes are well-formed UTF-8 holding at least one multi-byte sequence: text that only UTF-8
// reads right (plain ASCII reads the same in every page, so it says nothing).
bool HoldsWellFormedUtf8(std::span<const std::uint8_t> bytes);

} // namespace lantern
