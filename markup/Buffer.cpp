#include "markup/Buffer.h"

#include <algorithm>

namespace lantern {

std::unique_ptr<TBuffer> TBuffer::CreateFromStream(std::span<const std::uint8_t> bytes, u16v name)
{
    return CreateFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), name);
}

std::unique_ptr<TBuffer> TBuffer::CreateFromBytes(std::vector<std::uint8_t> bytes, u16v name)
{
    std::unique_ptr<TBuffer> b(new TBuffer(std::move(bytes), name));
    b->DetectEncoding();
    return b;
}

std::unique_ptr<TBuffer> TBuffer::CreateFromString(u16v text, u16v name)
{
    std::vector<std::uint8_t> bytes(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = std::uint8_t(text[i] & 0xFF);
        bytes[2 * i + 1] = std::uint8_t(text[i] >> 8);
    }
    std::unique_ptr<TBuffer> b(new TBuffer(std::move(bytes), name));
    b->FInitialCodePage = PseudoCpUtf16Le;
    b->SelectDecoder(PseudoCpUtf16Le);
    b->FLocked = true;
    b->FCharSet = -1;
    return b;
}

TBuffer::TBuffer(std::vector<std::uint8_t> bytes, u16v name) : FBytes(std::move(bytes)), FName(name) {}

// --- Detection ---------------------------------------------------------------------------------------

void TBuffer::DetectEncoding()
{
    const auto& b = FBytes;
    auto lockTo = [this](int cp, int charSet, std::size_t skip) {
        FInitialCodePage = cp;
        SelectDecoder(cp);
        FLocked = true;
        FCharSet = std::int16_t(charSet);
        FPos = skip;
    };
    // 1. A UTF-8 byte-order mark; EF BB without BF falls through to the ISO-2022-JP test.
    if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return lockTo(CP_UTF8, DEFAULT_CHARSET, 3);
    // 2. UTF-16 byte-order marks.
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return lockTo(PseudoCpUtf16Le, -1, 2);
    if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return lockTo(PseudoCpUtf16Be, -1, 2);
    // UTF-16 without a mark: read as a byte page its first zero byte would end the text after one
    // character, so a page that starts with two ASCII characters in UTF-16 is taken as UTF-16.
    if (b.size() >= 4 && b[0] && b[0] < 0x80 && !b[1] && b[2] && b[2] < 0x80 && !b[3])
        return lockTo(PseudoCpUtf16Le, -1, 0);
    if (b.size() >= 4 && !b[0] && b[1] && b[1] < 0x80 && !b[2] && b[3] && b[3] < 0x80)
        return lockTo(PseudoCpUtf16Be, -1, 0);
    // 3. ISO-2022-JP escapes.
    if (LooksLikeIso2022Jp(std::span(b).subspan(FPos))) {
        lockTo(PseudoCpIso2022Jp, SHIFTJIS_CHARSET, FPos);
        return;
    }
    // 4. Undeclared: the default charset's code page, CP_ACP, open to a later declaration.
    FCharSet = DEFAULT_CHARSET;
    FInitialCodePage = CodePageOfCharSet(DEFAULT_CHARSET);
    SelectDecoder(FInitialCodePage);
}

bool TBuffer::LooksLikeIso2022Jp(std::span<const std::uint8_t> bytes)
{
    // Only the text before the first zero byte counts.
    bytes = bytes.first(std::size_t(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin()));
    auto find = [&](std::uint8_t b2, std::uint8_t b3, std::size_t from) -> std::size_t {
        for (std::size_t i = from; i + 2 < bytes.size(); ++i)
            if (bytes[i] == 0x1B && bytes[i + 1] == b2 && bytes[i + 2] == b3)
                return i;
        return std::size_t(-1);
    };
    constexpr std::size_t none = std::size_t(-1);
    std::size_t at = find('$', '@', 0), bt = find('$', 'B', 0);
    std::size_t k = at == none ? bt : (bt == none ? at : std::max(at, bt));
    if (k == none)
        return false;
    return find('(', 'J', k) != none || find('(', 'B', k) != none;
}

// --- Decoding ----------------------------------------------------------------------------------------

void TBuffer::SetCodePage(int codePage)
{
    if (FLocked)
        return;
    SelectDecoder(codePage);
}

void TBuffer::SelectDecoder(int codePage)
{
    FCodePage = codePage;
    FTable = nullptr;
    switch (codePage) {
    case PseudoCpUtf16Le:
        FKind = TDecodeKind::Utf16Le;
        return;
    case PseudoCpUtf16Be:
        FKind = TDecodeKind::Utf16Be;
        return;
    case PseudoCpIso2022Jp:
        FKind = TDecodeKind::Iso2022Jp;
        FTable = &CodePageTable(932);
        return;
    case CP_UTF8:
        FKind = TDecodeKind::Utf8;
        return;
    default:
        // Other negative numbers have no meaning; they read as the ANSI page rather than fail.
        FTable = &CodePageTable(codePage < 0 ? CP_ACP : codePage);
        FKind = FTable->DoubleByte ? TDecodeKind::DoubleByte : TDecodeKind::SingleByte;
    }
}

char16_t TBuffer::TakeCharSlow()
{
    if (FPendingLow) {
        char16_t low = FPendingLow;
        FPendingLow = 0;
        FPos = std::min(FPos + FPendingLength, FBytes.size());
        return low;
    }
    if (FPos >= FBytes.size())
        return 0;
    switch (FKind) {
    case TDecodeKind::SingleByte:
        return FTable->Single[FBytes[FPos++]];
    case TDecodeKind::DoubleByte: {
        std::uint8_t lead = FBytes[FPos++];
        if (!FTable->Lead[lead] || FPos >= FBytes.size())
            return FTable->Single[lead];
        return FTable->Pair(lead, FBytes[FPos++]);
    }
    case TDecodeKind::Utf8:
        return TakeUtf8();
    case TDecodeKind::Utf16Le:
    case TDecodeKind::Utf16Be: {
        // A lone byte left at the end is the end of the text; it is passed over so the buffer is at its end.
        if (FPos + 1 >= FBytes.size()) {
            FPos = FBytes.size();
            return 0;
        }
        std::uint8_t b0 = FBytes[FPos], b1 = FBytes[FPos + 1];
        FPos += 2;
        return FKind == TDecodeKind::Utf16Le ? char16_t(b0 | (b1 << 8)) : char16_t(b1 | (b0 << 8));
    }
    case TDecodeKind::Iso2022Jp:
        return TakeIso2022Jp();
    }
    return 0;
}

// Two- and three-byte sequences decode as written; four-byte sequences give a surrogate pair over two
// calls. An ill-formed sequence gives U+FFFD and resumes at the first byte that does not belong to it,
// so one stray byte does not end the document.
char16_t TBuffer::TakeUtf8()
{
    constexpr char16_t bad = 0xFFFD;
    const std::size_t n = FBytes.size();
    auto cont = [&](std::size_t i) { return i < n && (FBytes[i] & 0xC0) == 0x80; };
    std::uint8_t b1 = FBytes[FPos];
    if (b1 < 0x80) {
        ++FPos;
        return b1;
    }
    if (b1 >= 0xC2 && b1 <= 0xDF) {
        if (!cont(FPos + 1)) {
            ++FPos;
            return bad;
        }
        char16_t c = char16_t(((b1 & 0x1F) << 6) | (FBytes[FPos + 1] & 0x3F));
        FPos += 2;
        return c;
    }
    if (b1 >= 0xE0 && b1 <= 0xEF) {
        if (!cont(FPos + 1)) {
            ++FPos;
            return bad;
        }
        std::uint8_t b2 = FBytes[FPos + 1];
        if ((b1 == 0xE0 && b2 < 0xA0) || (b1 == 0xED && b2 >= 0xA0)) { // overlong, or an encoded surrogate
            ++FPos;
            return bad;
        }
        if (!cont(FPos + 2)) {
            FPos += 2;
            return bad;
        }
        char16_t c = char16_t(((b1 & 0x0F) << 12) | ((b2 & 0x3F) << 6) | (FBytes[FPos + 2] & 0x3F));
        FPos += 3;
        return c;
    }
    if (b1 >= 0xF0 && b1 <= 0xF4) {
        if (!cont(FPos + 1)) {
            ++FPos;
            return bad;
        }
        std::uint8_t b2 = FBytes[FPos + 1];
        if ((b1 == 0xF0 && b2 < 0x90) || (b1 == 0xF4 && b2 >= 0x90)) {
            ++FPos;
            return bad;
        }
        for (std::size_t k = 2; k < 4; ++k)
            if (!cont(FPos + k)) {
                FPos += k;
                return bad;
            }
        char32_t cp = (char32_t(b1 & 0x07) << 18) | (char32_t(b2 & 0x3F) << 12) |
                      (char32_t(FBytes[FPos + 2] & 0x3F) << 6) | char32_t(FBytes[FPos + 3] & 0x3F);
        cp -= 0x10000;
        FPendingLow = char16_t(0xDC00 + (cp & 0x3FF));
        FPendingLength = 4;
        return char16_t(0xD800 + (cp >> 10));
    }
    ++FPos; // a continuation byte without a lead, or a lead byte no well-formed text uses
    return bad;
}

char16_t TBuffer::TakeIso2022Jp()
{
    const std::size_t n = FBytes.size();
    while (FPos < n) {
        std::uint8_t b = FBytes[FPos++];
        if (b == 0x1B && n - FPos > 2) {
            std::uint8_t e1 = FBytes[FPos], e2 = FBytes[FPos + 1];
            int state = -1;
            if (e1 == '$' && e2 == '@')
                state = 2;
            else if (e1 == '$' && e2 == 'B')
                state = 3;
            else if (e1 == '(' && e2 == 'B')
                state = 0;
            else if (e1 == '(' && e2 == 'J')
                state = 1;
            if (state >= 0) {
                FJisState = std::uint8_t(state);
                FPos += 2;
                continue;
            }
            // Not an escape we know: the ESC is an ordinary byte.
        }
        if (FJisState < 2)
            return FTable->Single[b];
        // A JIS X 0208 pair, converted to its Shift-JIS bytes.
        std::uint8_t j1 = b, j2 = NextByte();
        if (j1 == 0 || j2 == 0)
            return 0;
        int s1 = j1 <= 0x5E ? ((j1 + 1) >> 1) + 0x70 : ((j1 + 1) >> 1) + 0xB0;
        int s2 = (j1 & 1) ? j2 + 0x1F + (j2 > 0x5F ? 1 : 0) : j2 + 0x7E;
        s1 &= 0xFF;
        s2 &= 0xFF;
        return FTable->Lead[s1] ? FTable->Pair(std::uint8_t(s1), std::uint8_t(s2)) : FTable->Single[s1];
    }
    return 0;
}

char16_t TBuffer::LookAheadChar()
{
    TReadState saved = SaveState();
    char16_t c = TakeChar();
    RestoreState(saved);
    return c;
}

void TBuffer::SetPosition(int pos)
{
    FPos = std::size_t(std::clamp(pos, 0, Size()));
    FPendingLow = 0;
}

// --- Whole ranges ------------------------------------------------------------------------------------

u16 TBuffer::DecodeRange(int from, int to)
{
    u16 result;
    if (from >= to)
        return result;
    TReadState saved = SaveState();
    SetPosition(from);
    while (FPos < std::size_t(std::max(to, 0)) || FPendingLow) {
        char16_t c = TakeChar();
        if (c == 0)
            break;
        result.push_back(c);
    }
    RestoreState(saved);
    return result;
}

u16 TBuffer::ReadToEnd()
{
    if (FPos >= FBytes.size())
        return {};
    const bool pseudo = FCodePage == PseudoCpUtf16Le || FCodePage == PseudoCpUtf16Be || FCodePage == PseudoCpIso2022Jp;
    if (pseudo || FCodePage == CP_UTF8 || FCodePage != FInitialCodePage || FPendingLow) {
        u16 result;
        result.reserve(FBytes.size() - FPos);
        while (char16_t c = TakeChar())
            result.push_back(c);
        return result;
    }
    std::span<const std::uint8_t> rest = std::span(FBytes).subspan(FPos);
    const std::size_t n = rest.size();
    FPos = FBytes.size();
    auto switchToUtf8 = [this] {
        SelectDecoder(CP_UTF8);
        FCharSet = DEFAULT_CHARSET;
    };
    if (FCodePage == CP_ACP || FCodePage == CP_OEMCP || FCodePage == CP_MACCP) {
        // Undeclared text that shrinks by more than 4 % when read as UTF-8 is UTF-8.
        u16 utf8 = DecodeUtf8(rest);
        if (!utf8.empty() && n - utf8.size() > n / 25) {
            switchToUtf8();
            return utf8;
        }
        return DecodeBytes(FCodePage, rest);
    }
    u16 text = DecodeBytes(FCodePage, rest);
    if (text.empty()) {
        u16 utf8 = DecodeUtf8(rest);
        if (!utf8.empty()) {
            switchToUtf8();
            return utf8;
        }
    }
    return text;
}

} // namespace lantern
