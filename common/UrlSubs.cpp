#include "common/UrlSubs.h"

namespace lantern {

namespace {

constexpr std::size_t npos = u16v::npos;

bool StartsWith(u16v s, u16v prefix) { return s.substr(0, prefix.size()) == prefix; }

// A drive letter in front: "C:" or "C|".
bool HasDriveLetter(u16v s)
{
    return s.size() >= 2 && ((s[0] >= u'A' && s[0] <= u'Z') || (s[0] >= u'a' && s[0] <= u'z')) &&
           (s[1] == u':' || s[1] == u'|');
}

} // namespace

void SplitAnchor(u16v Url, u16& Name, u16& Anchor)
{
    Name = Url;
    SplitAtChar(Name, u'#', Anchor);
}

void SplitAtChar(u16& S, char16_t Ch, u16& Rest)
{
    std::size_t i = S.find(Ch);
    if (i == npos) {
        Rest.clear();
        return;
    }
    Rest = S.substr(i);
    S.resize(i);
}

int PosN(u16v Sub, u16v S, int N)
{
    if (N == 0)
        return 0;
    if (N > 0) {
        std::size_t from = 0;
        for (int k = 1; !Sub.empty(); ++k) {
            std::size_t i = S.find(Sub, from);
            if (i == npos)
                break;
            if (k == N)
                return int(i) + 1;
            from = i + 1;
        }
        return int(S.size()) + 1;
    }
    std::size_t before = npos;
    for (int k = -1; !Sub.empty(); --k) {
        std::size_t i = S.rfind(Sub, before);
        if (i == npos)
            break;
        if (k == N)
            return int(i) + 1;
        if (i == 0)
            break;
        before = i - 1;
    }
    return 0;
}

TUrlParts SplitUrl(u16v Url)
{
    TUrlParts r;
    if (Url.empty())
        return r;
    u16v a; // the authority, then everything before the path
    if (std::size_t c = Url.find(u"://"); c != npos) {
        r.Scheme = Url.substr(0, c);
        a = Url.substr(c + 3);
    } else if (Url[0] == u'/') {
        r.Scheme = u"http";
        if (Url.size() > 1 && Url[1] != u'/') {
            r.Path = Url;
            return r;
        }
        a = Url.substr(std::min<std::size_t>(2, Url.size()));
    } else if (StartsTextAscii(u"http:", Url)) {
        r.Scheme = u"http";
        if (Url.size() > 6 && Url[6] != u'/') {
            r.Path = Url.substr(5);
            return r;
        }
        a = Url.substr(std::min<std::size_t>(6, Url.size()));
    } else if (StartsTextAscii(u"mailto:", Url) || StartsTextAscii(u"data:", Url)) {
        std::size_t colon = Url.find(u':');
        r.Scheme = LowerAscii(Url.substr(0, colon));
        a = Url.substr(colon + 1);
    } else {
        a = Url;
    }

    if (std::size_t p = a.find(u'/'); p != npos) {
        r.Path = a.substr(p);
        a = a.substr(0, p);
    }

    std::size_t g = a.rfind(u':');
    std::size_t l = a.rfind(u'@');
    if (g == npos && l == npos) {
        r.Host = a;
        return r;
    }
    if (l == npos || (g != npos && l < g)) {
        r.Port = a.substr(g + 1);
        std::size_t hostStart = l == npos ? 0 : l + 1;
        r.Host = a.substr(hostStart, g - hostStart);
        if (l == npos)
            return r;
    } else {
        r.Host = a.substr(l + 1);
    }
    u16v user = a.substr(0, l);
    if (std::size_t colon = user.find(u':'); colon != npos) {
        r.User = user.substr(0, colon);
        r.Password = user.substr(colon + 1);
    } else {
        r.User = user;
    }
    return r;
}

u16 UrlScheme(u16v Url)
{
    return LowerAscii(SplitUrl(Url.substr(0, Url.find(u'?'))).Scheme);
}

bool IsAbsoluteUrl(u16v Url)
{
    u16v s = Url.substr(0, Url.find(u'?'));
    std::size_t scheme = s.find(u"://");
    if (scheme != npos && scheme < s.find(u'/'))
        return true;
    return StartsTextAscii(u"mailto:", s) || StartsTextAscii(u"data:", s);
}

u16 UrlDirectory(u16v Url)
{
    u16v s = TrimView(Url);
    if (s.empty())
        return u"/";
    // 0-based: q is the last index to look at, d the first.
    std::size_t q = s.find(u'?');
    if (q == npos)
        q = s.size() - 1;
    std::size_t d = s.find(u"//");
    if (d == npos || d > q)
        d = 0;
    for (std::size_t i = q + 1; i-- > d;) {
        if (s[i] == u'/')
            return u16(s.substr(0, i + 1));
    }
    return u16(s) + u'/';
}

u16 JoinUrl(u16v BaseIn, u16v RelIn)
{
    u16 base(TrimView(BaseIn));
    u16 scheme = UrlScheme(base);

    // t: 0-based index of the slash that ends the root part of Base (the part a "/x" link keeps).
    std::size_t t;
    if (StartsTextAscii(u"file:///", base)) {
        t = base.find(u'/', 8);
        if (t == npos)
            t = 7;
    } else if (std::size_t c = base.find(u"://"); c != npos) {
        t = base.find(u'/', c + 3);
        if (t == npos)
            t = c + 2;
    } else {
        t = base.find(u'/');
    }
    if (t == npos) {
        base += u'/';
        t = base.size() - 1;
    } else if (base.back() != u'/') {
        base += u'/';
    }

    u16v rel = TrimView(RelIn);
    u16 result;
    if (StartsWith(rel, u"//"))
        result = scheme != u"file" ? scheme + u':' + u16(rel) : u"file:///" + u16(rel);
    else if (StartsWith(rel, u"/"))
        result = base.substr(0, t + 1) + u16(rel.substr(1));
    else
        result = base + u16(rel);

    for (std::size_t a; (a = result.find(u"/../")) != npos;) {
        if (a > t) {
            std::size_t s = result.rfind(u'/', a - 1);
            if (s == npos)
                break;
            result.erase(s + 1, a - s + 3);
        } else {
            result.erase(a + 1, 3);
        }
    }
    for (std::size_t a; (a = result.find(u"/./")) != npos;)
        result.erase(a + 1, 2);
    return result;
}

u16 JoinDosPath(u16v Folder, u16v Name)
{
    bool folderEnds = !Folder.empty() && Folder.back() == u'/';
    bool nameStarts = !Name.empty() && Name.front() == u'/';
    if (folderEnds && nameStarts)
        return u16(Folder.substr(0, Folder.size() - 1)) + u16(Name);
    if (folderEnds || nameStarts)
        return u16(Folder) + u16(Name);
    return u16(Folder) + u'/' + u16(Name);
}

int HexDigitValue(char16_t Ch)
{
    if (int value = HexDigit(Ch); value >= 0)
        return value;
    throw EEscapeError("Invalid escape character: '" + ToUtf8(u16v(&Ch, 1)) + "'");
}

namespace {

// Reads one "%hh" at s[j], advancing j past it.
int ReadEscapedByte(u16v s, std::size_t& j)
{
    std::size_t left = s.size() - j;
    if (left < 3)
        throw EEscapeError("Invalid escape sequence: 3 digits expected, but " + std::to_string(left) + " found");
    if (s[j] != u'%')
        throw EEscapeError("Invalid escape sequence: \"%\" expected but \"" + ToUtf8(s.substr(j, 1)) + "\" (#" +
                           std::to_string(int(s[j])) + ") found");
    int value = HexDigitValue(s[j + 1]) * 16 + HexDigitValue(s[j + 2]);
    j += 3;
    return value;
}

// Reads one character written as UTF-8 escapes of one to three bytes.
char16_t ReadEscapedChar(u16v s, std::size_t& j)
{
    int b1 = ReadEscapedByte(s, j);
    if (b1 < 0x80)
        return char16_t(b1);
    int value;
    if (b1 & 0x20) {
        int b2 = ReadEscapedByte(s, j);
        if ((b2 & 0xC0) != 0x80)
            throw EEscapeError("Invalid 3 octet UTF sequence.");
        value = ((b1 << 6) & 0xFFF) | (b2 & 0x3F);
    } else {
        value = b1 & 0x3F;
    }
    int last = ReadEscapedByte(s, j);
    if ((last & 0xC0) != 0x80)
        throw EEscapeError("Invalid UTF sequence.");
    return char16_t(((value << 6) | (last & 0x3F)) & 0xFFFF);
}

} // namespace

u16 DecodePercent(u16v S)
{
    u16 s(S);
    std::size_t i = s.find(u'%');
    while (i != npos && i + 2 < s.size()) {
        if (s[i] != u'%') {
            ++i;
            continue;
        }
        std::size_t j = i;
        try {
            char16_t c = ReadEscapedChar(s, j);
            s[i] = c;
            s.erase(i + 1, j - i - 1);
            ++i;
        } catch (const EEscapeError&) {
            i = std::max(j, i + 1);
        }
    }
    return s;
}

namespace {

// UrlToDosPath, telling whether the text was a file URL (whose path is absolute whatever it looks like).
u16 ConvertUrlToDosPath(u16v Url, bool& IsFileUrl)
{
    IsFileUrl = false;
    u16 s = DecodePercent(Url);
    if (s.find_first_of(u"/\\") == npos)
        return s;
    for (auto& c : s)
        if (c == u'\\')
            c = u'/';
    if (StartsTextAscii(u"file:/", s)) {
        // A file URL names an absolute path; a drive letter after the slashes keeps the path drive-relative.
        IsFileUrl = true;
        std::size_t rest = 5;
        while (rest < s.size() && s[rest] == u'/')
            ++rest;
        u16v tail = u16v(s).substr(rest);
        s = HasDriveLetter(tail) ? u16(tail) : u'/' + u16(tail);
    }
    for (auto& c : s)
        if (c == u'|')
            c = u':';
    return s;
}

} // namespace

u16 UrlToDosPath(u16v Url)
{
    bool isFileUrl;
    return ConvertUrlToDosPath(Url, isFileUrl);
}

u16 UrlToDosPathWithRoot(u16v Url, u16v Root)
{
    bool isFileUrl;
    u16 p = Trim(ConvertUrlToDosPath(Url, isFileUrl));
    // Only a root-relative link goes under the root; a file URL already names an absolute path.
    if (!isFileUrl && !p.empty() && !Root.empty() && !StartsWith(p, u"//") && !(p.size() >= 2 && p[1] == u':') &&
        p[0] == u'/')
        return u16(Root) + p;
    return p;
}

} // namespace lantern
