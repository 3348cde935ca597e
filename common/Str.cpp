#include "common/Str.h"

#include <algorithm>
#include <charconv>
#include <unicode/uchar.h>

namespace lantern {

u16 UpperAscii(u16v s)
{
    u16 r(s);
    for (auto& c : r)
        c = UpperAscii(c);
    return r;
}

u16 LowerAscii(u16v s)
{
    u16 r(s);
    for (auto& c : r)
        c = LowerAscii(c);
    return r;
}

static bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

char16_t UpperUnit(char16_t c)
{
    if (c < 0x80)
        return UpperAscii(c);
    if (IsSurrogate(c))
        return c;
    UChar32 u = u_toupper(c);
    return u <= 0xFFFF ? char16_t(u) : c;
}

char16_t LowerUnit(char16_t c)
{
    if (c < 0x80)
        return LowerAscii(c);
    if (IsSurrogate(c))
        return c;
    UChar32 u = u_tolower(c);
    return u <= 0xFFFF ? char16_t(u) : c;
}

u16 UpperUnits(u16v s)
{
    u16 r(s);
    for (auto& c : r)
        c = UpperUnit(c);
    return r;
}

u16 LowerUnits(u16v s)
{
    u16 r(s);
    for (auto& c : r)
        c = LowerUnit(c);
    return r;
}

int CompareTextAscii(u16v a, u16v b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = UpperAscii(a[i]), y = UpperAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameTextAscii(u16v a, u16v b) { return a.size() == b.size() && CompareTextAscii(a, b) == 0; }

bool StartsTextAscii(u16v prefix, u16v s)
{
    return s.size() >= prefix.size() && SameTextAscii(prefix, s.substr(0, prefix.size()));
}

bool EndsTextAscii(u16v suffix, u16v s)
{
    return s.size() >= suffix.size() && SameTextAscii(suffix, s.substr(s.size() - suffix.size()));
}

u16v TrimLeftView(u16v s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] <= u' ')
        ++i;
    return s.substr(i);
}

u16v TrimRightView(u16v s)
{
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] <= u' ')
        --n;
    return s.substr(0, n);
}

u16v TrimView(u16v s) { return TrimRightView(TrimLeftView(s)); }

std::size_t Pos(u16v sub, u16v s) { return PosEx(sub, s, 1); }

std::size_t PosEx(u16v sub, u16v s, std::size_t from1)
{
    if (sub.empty() || from1 < 1 || from1 > s.size())
        return 0;
    std::size_t i = s.find(sub, from1 - 1);
    return i == u16v::npos ? 0 : i + 1;
}

u16 Copy(u16v s, long long index1, long long count)
{
    long long len = static_cast<long long>(s.size());
    if (index1 < 1)
        index1 = 1;
    if (index1 > len || count <= 0)
        return {};
    count = std::min(count, len - index1 + 1);
    return u16(s.substr(static_cast<std::size_t>(index1 - 1), static_cast<std::size_t>(count)));
}

void Delete(u16& s, long long index1, long long count)
{
    long long len = static_cast<long long>(s.size());
    if (index1 < 1 || index1 > len || count <= 0)
        return;
    count = std::min(count, len - index1 + 1);
    s.erase(static_cast<std::size_t>(index1 - 1), static_cast<std::size_t>(count));
}

void Insert(u16v what, u16& s, long long index1)
{
    long long len = static_cast<long long>(s.size());
    index1 = std::clamp(index1, 1LL, len + 1);
    s.insert(static_cast<std::size_t>(index1 - 1), what);
}

std::size_t LastDelimiter(u16v delims, u16v s)
{
    for (std::size_t i = s.size(); i-- > 0;)
        if (delims.find(s[i]) != u16v::npos)
            return i;
    return u16v::npos;
}

void ReplaceAll(u16& s, u16v from, u16v to)
{
    if (from.empty())
        return;
    std::size_t i = 0;
    while ((i = s.find(from, i)) != u16::npos) {
        s.replace(i, from.size(), to);
        i += to.size();
    }
}

// Narrows pure-ASCII text for from_chars; anything else is not a number.
static bool NarrowAscii(u16v s, std::string& out)
{
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0x80)
            return false;
        out[i] = static_cast<char>(s[i]);
    }
    return true;
}

// Where the digits start for from_chars, after an optional sign ('+' skipped, '-' kept); null unless a digit or a
// decimal point follows the sign, so "+-1", "nan" and "inf" are not numbers.
static const char* StartOfNumber(const std::string& a)
{
    const char* b = a.data();
    const char* end = b + a.size();
    const char* digits = b;
    if (b != end && *b == '+')
        digits = ++b;
    else if (b != end && *b == '-')
        ++digits;
    if (digits == end || !((*digits >= '0' && *digits <= '9') || *digits == '.'))
        return nullptr;
    return b;
}

std::optional<int> TryStrToInt(u16v s)
{
    std::string a;
    if (s.empty() || !NarrowAscii(s, a))
        return std::nullopt;
    const char* b = StartOfNumber(a);
    if (!b)
        return std::nullopt;
    int v = 0;
    auto [p, ec] = std::from_chars(b, a.data() + a.size(), v);
    if (ec != std::errc() || p != a.data() + a.size() || b == a.data() + a.size())
        return std::nullopt;
    return v;
}

std::optional<double> TryStrToFloat(u16v s)
{
    std::string a;
    if (s.empty() || !NarrowAscii(s, a))
        return std::nullopt;
    const char* b = StartOfNumber(a);
    if (!b)
        return std::nullopt;
    double v = 0;
    auto [p, ec] = std::from_chars(b, a.data() + a.size(), v, std::chars_format::general);
    if (ec != std::errc() || p != a.data() + a.size() || b == a.data() + a.size())
        return std::nullopt;
    return v;
}

u16 IntToStr(long long n) { return FromAscii(std::to_string(n)); }

u16 FromAscii(std::string_view s) { return u16(s.begin(), s.end()); }

std::string ToUtf8(u16v s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

u16 FromUtf8(std::string_view s)
{
    // One U+FFFD per maximal ill-formed subsequence: a lead byte and the continuation bytes that can still belong
    // to it; the byte that breaks a sequence starts the next one.
    u16 out;
    out.reserve(s.size());
    auto put = [&](char32_t c) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    };
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i++]);
        int need = 0;
        char32_t c = 0;
        unsigned char lower = 0x80, upper = 0xBF; // the range the second byte must fall in
        if (b < 0x80) {
            put(b);
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            c = b & 0x0F;
            lower = b == 0xE0 ? 0xA0 : 0x80; // no overlong forms
            upper = b == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            c = b & 0x07;
            lower = b == 0xF0 ? 0x90 : 0x80;
            upper = b == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        } else {
            put(0xFFFD);
            continue;
        }
        for (; need > 0; --need) {
            const unsigned char t = i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
            if (i >= s.size() || t < lower || t > upper)
                break;
            c = (c << 6) | (t & 0x3F);
            lower = 0x80;
            upper = 0xBF;
            ++i;
        }
        put(need == 0 ? c : 0xFFFD);
    }
    return out;
}

} // namespace lantern
