#include "markup/CodePages.h"

#include "markup/Errors.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace lantern {

namespace {

// --- Charset table: font charset -> code page, searched in this order -------------------------------

struct TCharSetRow {
    int CharSet;
    int CodePage;
};

constexpr std::array<TCharSetRow, 21> CharSetTable{{
    {ANSI_CHARSET, 1252},       {DEFAULT_CHARSET, CP_ACP},    {SYMBOL_CHARSET, CP_ACP},
    {MAC_CHARSET, CP_MACCP},    {SHIFTJIS_CHARSET, 932},      {HANGEUL_CHARSET, 949},
    {JOHAB_CHARSET, 1361},      {GB2312_CHARSET, 936},        {CHINESEBIG5_CHARSET, 950},
    {GREEK_CHARSET, 1253},      {TURKISH_CHARSET, 1254},      {VIETNAMESE_CHARSET, 1258},
    {HEBREW_CHARSET, 1255},     {ARABIC_CHARSET, 1256},       {BALTIC_CHARSET, 1257},
    {RUSSIAN_CHARSET, 1251},    {THAI_CHARSET, 874},          {EASTEUROPE_CHARSET, 1250},
    {OEM_CHARSET, CP_OEMCP},    {ISO8859_2_CHARSET, 28592},   {EUCJP_CHARSET, 20932},
}};

constexpr int NoCodePage = -1;

constexpr int FindCodePageOfCharSet(int charSet, int fallback)
{
    for (const auto& row : CharSetTable)
        if (row.CharSet == charSet)
            return row.CodePage;
    return fallback;
}

// --- Charset-name table ------------------------------------------------------------------------------

// A row written with code page -1 takes the code page of its charset.
constexpr TBuffCharSetCodePageInfo Row(std::string_view name, int charSet, int codePage = NoCodePage)
{
    const int derived = codePage == NoCodePage ? FindCodePageOfCharSet(charSet, NoCodePage) : codePage;
    return {name, std::int16_t(charSet), derived};
}

// The list is kept sorted the way the platform's case-insensitive string list sorts: by ASCII upper case.
constexpr int CompareUpper(std::string_view a, std::string_view b)
{
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        unsigned char ca = up(a[i]), cb = up(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

constexpr auto MakeNameTable()
{
    std::array<TBuffCharSetCodePageInfo, 52> t{{
        Row("1250", 238),        Row("1251", 204),        Row("1252", 0),          Row("1253", 161),
        Row("1254", 162),        Row("1255", 177),        Row("1256", 178),        Row("1257", 186),
        Row("1258", 163),        Row("5601", 129),        Row("866", 204),         Row("874", 222),
        Row("8859-1", 0),        Row("8859-2", 31),       Row("8859-3", 162),      Row("8859-4", 186),
        Row("8859-5", 204),      Row("8859-7", 161),      Row("8859-9", 162),      Row("8859-15", 0),
        Row("932", 128),         Row("936", 134),         Row("949", 129),         Row("950", 136),
        Row("ansi", 0),          Row("arabic", 178),      Row("big5", 136),        Row("default", 1),
        Row("easteurope", 238),  Row("euc-jp", 30),       Row("euc-kr", 129),      Row("gb2312", 134),
        Row("greek", 161),       Row("hangeul", 129),     Row("hebrew", 177),      Row("johab", 130),
        Row("koi", 204),         Row("oem", 255),         Row("russian", 204),     Row("shift_jis", 128),
        Row("shiftjis", 128),    Row("symbol", 2),        Row("thai", 222),        Row("tis-620", 222),
        Row("turkish", 162),     Row("gbk", 134),         Row("gb18030", 134),     Row("utf-16be", 1, PseudoCpUtf16Be),              Row("utf-16le", 1, PseudoCpUtf16Le),
        Row("utf-8", 1, CP_UTF8), Row("vietnamese", 163), Row("x-sjis", 128),
    }};
    std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return CompareUpper(a.Name, b.Name) < 0; });
    return t;
}

constexpr auto NameTable = MakeNameTable();

constexpr bool NameTableIsWellFormed()
{
    for (const auto& row : NameTable)
        if (row.CodePage == NoCodePage)
            return false;
    for (std::size_t i = 1; i < NameTable.size(); ++i)
        if (CompareUpper(NameTable[i - 1].Name, NameTable[i].Name) >= 0)
            return false;
    return true;
}
static_assert(NameTableIsWellFormed(), "every charset name resolves to a code page, and names are unique");

// --- Locale code pages -------------------------------------------------------------------------------

struct TLocaleCodePages {
    std::string_view Language; // "zh_TW" matches by language and territory, "ru" by language alone
    int Ansi;
    int Oem;
};

// The ANSI (and OEM) code page Windows uses for each language; every other language gets 1252 / 850.
constexpr TLocaleCodePages LocaleTable[] = {
    {"zh_TW", 950, 950}, {"zh_HK", 950, 950}, {"zh_MO", 950, 950}, {"zh", 936, 936},
    {"ja", 932, 932},    {"ko", 949, 949},    {"ru", 1251, 866},   {"uk", 1251, 866},
    {"bg", 1251, 866},   {"be", 1251, 866},   {"mk", 1251, 866},   {"sr", 1251, 855},
    {"kk", 1251, 866},   {"el", 1253, 737},   {"tr", 1254, 857},   {"az", 1254, 857},
    {"he", 1255, 862},   {"ar", 1256, 720},   {"fa", 1256, 720},   {"ur", 1256, 720},
    {"et", 1257, 775},   {"lv", 1257, 775},   {"lt", 1257, 775},   {"vi", 1258, 1258},
    {"th", 874, 874},    {"pl", 1250, 852},   {"cs", 1250, 852},   {"hu", 1250, 852},
    {"sk", 1250, 852},   {"sl", 1250, 852},   {"hr", 1250, 852},   {"ro", 1250, 852},
    {"sq", 1250, 852},   {"bs", 1250, 852},   {"en", 1252, 437},
};

const TLocaleCodePages* FindLocale(std::string_view locale)
{
    auto language = locale.substr(0, locale.find_first_of("_.@-"));
    auto territory = locale.substr(0, locale.find_first_of(".@"));
    for (const auto& row : LocaleTable)
        if (row.Language.size() > 2 && row.Language == territory)
            return &row;
    for (const auto& row : LocaleTable)
        if (row.Language.size() == 2 && row.Language == language)
            return &row;
    return nullptr;
}

std::string UserLocale()
{
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return v;
    }
    return "C";
}

std::atomic<int> AnsiOverride{0};

// --- Decoding tables ---------------------------------------------------------------------------------

struct TCodePageShape {
    int CodePage;
    const char* Converter;
    bool Iconv; // converted through iconv rather than ICU
    // Lead-byte ranges, inclusive; empty for single-byte pages.
    std::initializer_list<std::pair<int, int>> Leads;
};

const TCodePageShape* ShapeOf(int cp)
{
    static const TCodePageShape shapes[] = {
        {874, "windows-874-2000", false, {}},
        {932, "ibm-943_P15A-2003", false, {{0x81, 0x9F}, {0xE0, 0xFC}}},
        {936, "windows-936-2000", false, {{0x81, 0xFE}}},
        {949, "windows-949-2000", false, {{0x81, 0xFE}}},
        {950, "windows-950-2000", false, {{0xA1, 0xF9}}},
        {1361, "JOHAB", true, {{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}}},
        {10000, "macintosh", false, {}},
        // EUC-JP; the three-byte JIS X 0212 sequences are not decoded.
        {20932, "EUC-JP", false, {{0x8E, 0x8E}, {0xA1, 0xFE}}},
        {28592, "ISO-8859-2", false, {}},
    };
    for (const auto& s : shapes)
        if (s.CodePage == cp)
            return &s;
    return nullptr;
}

// Converts a short byte sequence to exactly one unit, or reports failure.
class TOneUnitConverter {
public:
    explicit TOneUnitConverter(int cp)
    {
        const TCodePageShape* shape = ShapeOf(cp);
        if (shape && shape->Iconv) {
            FIconv = iconv_open("UTF-16LE", shape->Converter);
            if (FIconv == iconv_t(-1))
                FIconv = nullptr;
            return;
        }
        std::string names[3];
        if (shape)
            names[0] = shape->Converter;
        names[1] = "windows-" + std::to_string(cp);
        names[2] = "ibm-" + std::to_string(cp);
        for (const auto& n : names) {
            if (n.empty())
                continue;
            UErrorCode err = U_ZERO_ERROR;
            FIcu = ucnv_open(n.c_str(), &err);
            if (U_SUCCESS(err))
                break;
            FIcu = nullptr;
        }
        if (FIcu) {
            UErrorCode err = U_ZERO_ERROR;
            ucnv_setToUCallBack(FIcu, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        }
    }
    ~TOneUnitConverter()
    {
        if (FIcu)
            ucnv_close(FIcu);
        if (FIconv)
            iconv_close(FIconv);
    }
    TOneUnitConverter(const TOneUnitConverter&) = delete;
    TOneUnitConverter& operator=(const TOneUnitConverter&) = delete;

    bool Valid() const { return FIcu || FIconv; }

    // 0 when the bytes do not make exactly one unit.
    char16_t Convert(const std::uint8_t* bytes, int count)
    {
        UChar out[4];
        if (FIcu) {
            ucnv_resetToUnicode(FIcu);
            UErrorCode err = U_ZERO_ERROR;
            int n = ucnv_toUChars(FIcu, out, 4, reinterpret_cast<const char*>(bytes), count, &err);
            return (U_SUCCESS(err) && n == 1) ? char16_t(out[0]) : char16_t(0);
        }
        iconv(FIconv, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {char(bytes[0]), count > 1 ? char(bytes[1]) : '\0'};
        char* inp = in;
        std::size_t inLeft = std::size_t(count);
        char* outp = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(FIconv, &inp, &inLeft, &outp, &outLeft) == std::size_t(-1) || inLeft != 0 ||
            sizeof out - outLeft != 2)
            return 0;
        return char16_t(out[0]);
    }

private:
    UConverter* FIcu = nullptr;
    iconv_t FIconv = nullptr;
};

std::unique_ptr<TCodePageTable> BuildTable(int cp)
{
    TOneUnitConverter conv(cp);
    if (!conv.Valid())
        return nullptr;
    auto t = std::make_unique<TCodePageTable>();
    t->CodePage = cp;
    // The platform's default character for Japanese pages is the katakana middle dot; elsewhere '?'.
    t->Replacement = cp == 932 ? u'\u30FB' : u'?';
    if (const TCodePageShape* shape = ShapeOf(cp))
        for (auto [lo, hi] : shape->Leads)
            for (int b = lo; b <= hi; ++b)
                t->Lead[b] = true;
    for (int b = 1; b < 256; ++b) {
        std::uint8_t byte = std::uint8_t(b);
        // Every platform code page reads its lower half as ASCII; the converters' tables do not always
        // (IBM-derived ones swap 1A, 1C and 7F, and JOHAB reads 5C as the won sign).
        char16_t u = t->Lead[b] ? 0 : b < 0x80 ? char16_t(b) : conv.Convert(&byte, 1);
        t->Single[b] = u ? u : t->Replacement;
        t->DoubleByte = t->DoubleByte || t->Lead[b];
    }
    if (t->DoubleByte) {
        t->Pairs.assign(65536, t->Replacement);
        for (int lead = 0; lead < 256; ++lead) {
            if (!t->Lead[lead])
                continue;
            for (int trail = 0; trail < 256; ++trail) {
                std::uint8_t pair[2] = {std::uint8_t(lead), std::uint8_t(trail)};
                if (char16_t u = conv.Convert(pair, 2))
                    t->Pairs[lead * 256 + trail] = u;
            }
        }
    }
    return t;
}

int ResolveCodePage(int cp)
{
    if (cp == CP_ACP)
        return AnsiCodePage();
    if (cp == CP_OEMCP) {
        const TLocaleCodePages* row = FindLocale(UserLocale());
        return row ? row->Oem : 850;
    }
    if (cp == CP_MACCP)
        return 10000;
    return cp;
}

} // namespace

int CodePageOfCharSetOr(int charSet, int fallback) { return FindCodePageOfCharSet(charSet, fallback); }

int CharSetOfCodePageOr(int codePage, int fallback)
{
    for (const auto& row : CharSetTable)
        if (row.CodePage == codePage)
            return row.CharSet;
    return fallback;
}

int CodePageOfCharSet(int charSet)
{
    int cp = FindCodePageOfCharSet(charSet, NoCodePage);
    if (cp == NoCodePage)
        throw EConversionError("Don't know equivalent code page for char set " + std::to_string(charSet) + ".");
    return cp;
}

int CharSetOfCodePage(int codePage)
{
    // Charsets are never negative, so -1 can say "no row".
    int charSet = CharSetOfCodePageOr(codePage, NoCodePage);
    if (charSet == NoCodePage)
        throw EConversionError("Don't know equivalent char set for code page " + std::to_string(codePage) + ".");
    return charSet;
}

int FontCharSetOfCodePage(int codePage)
{
    switch (codePage) {
    case CP_UTF8:
    case PseudoCpUtf16Le:
    case PseudoCpUtf16Be: return DEFAULT_CHARSET;
    case PseudoCpIso2022Jp: return SHIFTJIS_CHARSET;
    default: return CharSetOfCodePageOr(codePage, DEFAULT_CHARSET);
    }
}

std::span<const TBuffCharSetCodePageInfo> CharSetInfoTable() { return NameTable; }

const TBuffCharSetCodePageInfo* FindCharSetInfo(u16v name)
{
    std::string lower;
    lower.reserve(name.size());
    for (char16_t c : name) {
        c = LowerAscii(c);
        lower.push_back(c < 0x80 ? char(c) : '\x7F'); // non-ASCII never matches an ASCII key
    }
    auto it = std::lower_bound(NameTable.begin(), NameTable.end(), lower,
        [](const TBuffCharSetCodePageInfo& row, const std::string& key) { return CompareUpper(row.Name, key) < 0; });
    if (it != NameTable.end() && CompareUpper(it->Name, lower) == 0)
        return &*it;
    for (auto r = NameTable.rbegin(); r != NameTable.rend(); ++r)
        if (lower.find(r->Name) != std::string::npos)
            return &*r;
    return nullptr;
}

int AnsiCodePageOfLocale(std::string_view locale)
{
    const TLocaleCodePages* row = FindLocale(locale);
    return row ? row->Ansi : 1252;
}

int OemCodePageOfLocale(std::string_view locale)
{
    const TLocaleCodePages* row = FindLocale(locale);
    return row ? row->Oem : 850;
}

int AnsiCodePage()
{
    if (int cp = AnsiOverride.load())
        return cp;
    static const int fromLocale = AnsiCodePageOfLocale(UserLocale());
    return fromLocale;
}

void SetAnsiCodePageOverride(int codePage) { AnsiOverride.store(codePage); }

const TCodePageTable& CodePageTable(int codePage)
{
    static std::mutex lock;
    static std::map<int, std::unique_ptr<TCodePageTable>> tables;
    int cp = ResolveCodePage(codePage);
    std::lock_guard guard(lock);
    auto it = tables.find(cp);
    if (it != tables.end())
        return *it->second;
    auto table = BuildTable(cp);
    if (!table) {
        if (cp == 1252)
            throw EConversionError("No converter for code page 1252.");
        const TCodePageTable* latin = nullptr;
        {
            auto found = tables.find(1252);
            if (found == tables.end())
                found = tables.emplace(1252, BuildTable(1252)).first;
            latin = found->second.get();
        }
        table = std::make_unique<TCodePageTable>(*latin);
    }
    return *tables.emplace(cp, std::move(table)).first->second;
}

u16 DecodeBytes(int codePage, std::span<const std::uint8_t> bytes)
{
    const TCodePageTable& t = CodePageTable(codePage);
    u16 out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint8_t b = bytes[i];
        if (t.DoubleByte && t.Lead[b] && i + 1 < bytes.size())
            out.push_back(t.Pair(b, bytes[++i]));
        else
            out.push_back(t.Single[b]);
    }
    return out;
}

u16 DecodeUtf8(std::span<const std::uint8_t> bytes)
{
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool HoldsWellFormedUtf8(std::span<const std::uint8_t> bytes)
{
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::uint8_t b = bytes[i++];
        if (b < 0x80)
            continue;
        int need = 0;
        std::uint8_t lower = 0x80, upper = 0xBF; // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            lower = b == 0xE0 ? 0xA0 : 0x80; // no overlong forms
            upper = b == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            lower = b == 0xF0 ? 0x90 : 0x80;
            upper = b == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (bytes.size() - i < std::size_t(need) || bytes[i] < lower || bytes[i] > upper)
            return false;
        for (int k = 1; k < need; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        i += std::size_t(need);
        multiByte = true;
    }
    return multiByte;
}

} // namespace lantern
