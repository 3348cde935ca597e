#include "markup/Tokenizer.h"

#include "common/WinMath.h"
#include "markup/Entities.h"
#include "markup/Errors.h"

namespace lantern {

namespace {

constexpr bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsBlank(char16_t c) { return c == CharTab || c == CharLF || c == CharFF || c == CharCR || c == u' '; }

// Numeric value of an attribute; `previous` stays when the text is not a number.
double AttributeNumber(u16v text, double previous)
{
    u16v t = TrimView(text);
    if (!t.empty() && (t.back() == u'%' || t.back() == u'*')) {
        if (t.size() == 1)
            return t[0] == u'*' ? 1 : previous;
        t.remove_suffix(1);
    }
    if (t.empty() || !(t[0] == u'+' || t[0] == u'-' || t[0] == u'.' || IsDigit(t[0])))
        return previous;
    std::optional<double> v = TryStrToFloat(t);
    if (!v || !(*v == *v) || *v > 9.2e18 || *v < -9.2e18)
        return previous;
    return double(RoundHalfEven(*v));
}

} // namespace

u16 CharForCodePoint(std::uint32_t v, bool numeric, int codePage)
{
    if (v == 9)
        return u" ";
    if (v < 32)
        return u"?";
    if (numeric && v >= 127 && v <= 159 && codePage >= 0 && codePage != CP_UTF8) {
        // Pages written on Windows use these numbers for the code page's own characters (&#150; is a dash).
        const TCodePageTable& t = CodePageTable(codePage);
        char16_t c = t.Single[v];
        if (!t.Lead[v] && c != t.Replacement)
            return u16(1, c);
        return u16(1, char16_t(v));
    }
    if (v <= 0xFFFF)
        return u16(1, char16_t(v));
    if (v <= 0x10FFFF) {
        v -= 0x10000;
        return u16{char16_t(0xD800 + (v >> 10)), char16_t(0xDC00 + (v & 0x3FF))};
    }
    return u"\uFFFD";
}

THtmlTokenizer::THtmlTokenizer(TBuffer& buffer) : FBuffer(buffer), FCurrent(&buffer) {}

THtmlTokenizer::~THtmlTokenizer() = default;

void THtmlTokenizer::Restart(const TBuffer::TReadState& state)
{
    FIncluded.clear();
    FCurrent = &FBuffer;
    FBuffer.RestoreState(state);
    FLCh = 0;
    FLineEnd = 0;
    *FSourcePos = -1;
    FSy = symEndOfFile;
    InComment = false;
    IncludesRun = 0;
    FToken.Clear();
    FAttributes.Clear();
}

THtmlTokenizer::TReadingState THtmlTokenizer::SaveState() const
{
    TReadingState state{FLCh, FLineEnd, *FSourcePos, FBuffer.SaveState(), {}};
    state.Includes.reserve(FIncluded.size());
    for (const auto& included : FIncluded)
        state.Includes.emplace_back(included, included->SaveState());
    return state;
}

void THtmlTokenizer::RestoreState(const TReadingState& state)
{
    FBuffer.RestoreState(state.Main);
    FIncluded.clear();
    for (const auto& [included, readState] : state.Includes) {
        included->RestoreState(readState);
        FIncluded.push_back(included);
    }
    FCurrent = FIncluded.empty() ? &FBuffer : FIncluded.back().get();
    FLCh = state.LCh;
    FLineEnd = state.LineEnd;
    *FSourcePos = state.SourcePos;
    InComment = false;
}

void THtmlTokenizer::SetLCh(char16_t ch, int position)
{
    if (ch == 0 && !FIncluded.empty()) {
        PopInclude();
        AdvanceChar();
        return;
    }
    if (FIncluded.empty())
        *FSourcePos = position;
    FLCh = ch;
    FLineEnd = 0;
}

void THtmlTokenizer::ShareSourcePos(int& field)
{
    field = *FSourcePos;
    FSourcePos = &field;
}

// --- Characters --------------------------------------------------------------------------------------

char16_t THtmlTokenizer::ReadSourceChar()
{
    for (;;) {
        // 1.-2. The next unit; an exhausted include gives way to the buffer it interrupted.
        const bool inMain = FIncluded.empty();
        if (inMain)
            *FSourcePos = FCurrent->Position();
        char16_t c = FCurrent->TakeChar();
        if (c == 0 && !inMain) {
            PopInclude();
            continue;
        }
        // 3. Progress, at most once per 4096 characters.
        if (!ParseOnly) {
            ++FCharCount;
            if ((c == 0 || (FCharCount & 0xFFF) == 0) && OnProgress && FBuffer.Size() > 0)
                OnProgress(int(std::int64_t(FBuffer.Position()) * ProgressBase / FBuffer.Size()));
        }
        // 4.-5. CR LF, LF CR, CR and LF each reach the reader as one CR; TAB as a space (unless kept).
        if ((c == CharLF && FLineEnd == 1) || (c == CharCR && FLineEnd == 2)) {
            FLineEnd = 0;
            continue;
        }
        if (c == CharTab && !KeepTabs)
            c = u' ';
        else if (c == CharLF) {
            c = CharCR;
            FLineEnd = 2;
        } else if (c == CharCR)
            FLineEnd = 1;
        else
            FLineEnd = 0;
        // 6.
        if (c == 0 && InComment)
            throw EParseError("Open Comment at End of HTML File");
        return c;
    }
}

void THtmlTokenizer::PopInclude()
{
    FIncluded.pop_back();
    FCurrent = FIncluded.empty() ? &FBuffer : FIncluded.back().get();
}

char16_t THtmlTokenizer::PeekChar()
{
    for (;;) {
        char16_t c = FCurrent->LookAheadChar();
        if (c != 0 || FIncluded.empty())
            return c;
        PopInclude();
    }
}

char16_t THtmlTokenizer::ReadRawChar() { return FCurrent->TakeChar(); }

void THtmlTokenizer::AdvanceChar()
{
    for (;;) {
        FLCh = ReadSourceChar();
        if (RawMode || FLCh != u'<')
            return;
        switch (PeekChar()) {
        case u'!':
            FLCh = ReadSourceChar();
            InComment = true;
            FLCh = ReadSourceChar();
            if (FLCh == u'-' && PeekChar() == u'-') {
                ReadSourceChar();
                FLCh = ReadSourceChar();
                if (OnInclude && FLCh == u'#' && FIncluded.size() < MaxIncludeDepth && IncludesRun < MaxIncludes)
                    RunIncludeDirective();
                else
                    SkipComment();
            } else
                SkipDeclaration();
            InComment = false;
            break; // the next read fetches the character after the ">"
        case u'%':
            FLCh = ReadSourceChar();
            SkipServerBlock();
            break;
        default:
            return;
        }
    }
}

void THtmlTokenizer::SkipBlanks()
{
    while (IsBlank(FLCh))
        AdvanceChar();
}

void THtmlTokenizer::SkipDeclaration()
{
    while (FLCh != u'>')
        FLCh = ReadSourceChar(); // raises at the end, as InComment is set
}

// From the first character after "<!--": "--" then any further "-", blanks and one "!" before ">" close
// it, so "-->", "-- >", "--->" and "--!>" all end a comment, and "<!-->" does not.
void THtmlTokenizer::SkipComment()
{
    for (;;) {
        while (FLCh != u'-')
            FLCh = ReadSourceChar();
        FLCh = ReadSourceChar();
        if (FLCh != u'-')
            continue;
        while (FLCh == u'-')
            FLCh = ReadSourceChar();
        while (FLCh == u' ' || FLCh == CharCR)
            FLCh = ReadSourceChar();
        if (FLCh == u'!')
            FLCh = ReadSourceChar();
        if (FLCh == u'>')
            return;
    }
}

// "<%" ... "%>" blocks of server code; the end of the text ends them quietly.
void THtmlTokenizer::SkipServerBlock()
{
    while (FLCh != 0 && !(FLCh == u'%' && PeekChar() == u'>'))
        FLCh = ReadSourceChar();
    FLCh = ReadSourceChar();
}

u16 THtmlTokenizer::ReadIdentifier()
{
    u16 id;
    if (!(IsAsciiLetter(FLCh) || FLCh == u'_'))
        return id;
    while (IsAsciiLetter(FLCh) || IsDigit(FLCh) || FLCh == u'-' || FLCh == u'_') {
        id.push_back(FLCh);
        AdvanceChar();
    }
    return id;
}

// "<!--#command name=value ... -->": the host may hand back a buffer that is read in its place.
void THtmlTokenizer::RunIncludeDirective()
{
    TokenObj saved = std::move(FToken);
    FToken = TokenObj();
    const bool savedRaw = RawMode;
    RawMode = true; // inside the directive a "<" is an ordinary character
    AdvanceChar();
    u16 command = ReadIdentifier();
    std::vector<u16> params;
    for (;;) {
        SkipBlanks();
        u16 name = ReadIdentifier();
        if (name.empty())
            break;
        SkipBlanks();
        u16 value;
        if (FLCh == u'=') {
            AdvanceChar();
            SkipBlanks();
            if (FLCh == u'"' || FLCh == u'\'') {
                const char16_t quote = FLCh;
                AdvanceChar();
                while (FLCh != quote && FLCh != 0) {
                    if (FLCh == u'&') {
                        value += ReadEntity(CodePageNow());
                        continue;
                    }
                    value.push_back(FLCh == CharCR ? u' ' : FLCh);
                    AdvanceChar();
                }
                if (FLCh == quote)
                    AdvanceChar();
            } else {
                while (FLCh != 0 && FLCh != u' ' && FLCh != CharCR && FLCh != u'-' && FLCh != u'>') {
                    if (FLCh == u'&') {
                        value += ReadEntity(CodePageNow());
                        continue;
                    }
                    value.push_back(FLCh);
                    AdvanceChar();
                }
            }
        }
        params.push_back(name + u"=" + value);
    }
    SkipComment();
    RawMode = savedRaw;
    FToken = std::move(saved);
    ++IncludesRun;
    if (std::unique_ptr<TBuffer> included = OnInclude(command, params)) {
        FCurrent = included.get();
        FIncluded.push_back(std::move(included));
    }
}

// --- Symbols -----------------------------------------------------------------------------------------

void THtmlTokenizer::NextSymbol()
{
    FToken.Clear();
    if (FLCh == 0) {
        FSy = symEndOfFile;
    } else if (FLCh <= 8) {
        // Control characters read as an empty text symbol, then as a "?".
        FSy = symText;
        FLCh = u'?';
    } else if (FLCh == u'<') {
        ReadTag();
    } else {
        FSy = symText;
        ReadTextRun();
    }
}

void THtmlTokenizer::ReadTag()
{
    // 1.-2.
    FTagPos = *FSourcePos;
    AdvanceChar();
    bool endTag = false;
    if (FLCh == u'/') {
        endTag = true;
        AdvanceChar();
    } else if (!(FLCh == u'?' || IsAsciiLetter(FLCh))) {
        FSy = symText;
        FToken.AddChar(u'<', FTagPos);
        return;
    }
    // 3. The name; a digit after a lone H is the heading level, not part of the name.
    FSy = symUnknownTag;
    FName.clear();
    for (;;) {
        const char16_t c = FLCh;
        const bool take = IsAsciiLetter(c) || c == u'_' || (c == u'/' && FName.empty()) ||
                          (IsDigit(c) && !(FName.size() == 1 && UpperAscii(FName[0]) == u'H'));
        if (!take)
            break;
        FName.push_back(UpperAscii(c));
        AdvanceChar();
    }
    // 4.
    if (const TTagInfo* tag = FindTag(FName))
        FSy = endTag ? tag->End : tag->Start;
    // 5.
    SkipBlanks();
    FHeadingLevel = 0;
    if ((FSy == symH || FSy == symEndH) && FLCh >= u'1' && FLCh <= u'6') {
        FHeadingLevel = FLCh - u'0';
        AdvanceChar();
    }
    // 6.
    FAttributes.Clear();
    while (ReadAttribute()) {
    }
    // 7. Script and style content readers start at the ">".
    while (FLCh != u'>' && FLCh != 0)
        AdvanceChar();
    if (FLCh == u'>' && !(!endTag && (FSy == symScript || FSy == symStyle)))
        AdvanceChar();
}

bool THtmlTokenizer::ReadAttribute()
{
    // 1. A name of "$", "-", digits and letters; anything else ends the attribute list.
    SkipBlanks();
    FName.clear();
    while (FLCh == u'$' || FLCh == u'-' || IsDigit(FLCh) || IsAsciiLetter(FLCh)) {
        FName.push_back(UpperAscii(FLCh));
        AdvanceChar();
    }
    if (FName.empty())
        return false;
    // 2.-3.
    const TAttributeInfo* info = FindAttribute(FName);
    const THtmlSymbol symbol = info ? info->Symbol : symOtherAttribute;
    SkipBlanks();
    u16 value;
    double number = symbol == symBorder ? 1 : 0;
    const int codePage = CodePageNow();
    // 4.
    if (FLCh == u'=') {
        AdvanceChar();
        SkipBlanks();
        ReadAttributeValue(symbol, value, codePage);
        number = AttributeNumber(value, number);
    }
    // 5.
    if (symbol == symId && !value.empty() && !ParseOnly && OnRegisterId)
        OnRegisterId(value, *FSourcePos);
    FAttributes.Add(std::make_unique<TAttribute>(symbol, number, FName, std::move(value), codePage));
    return true;
}

void THtmlTokenizer::ReadAttributeValue(THtmlSymbol symbol, u16& value, int codePage)
{
    if (FLCh == u'"' || FLCh == u'\'') {
        const char16_t quote = FLCh;
        const bool keepLineEnds = symbol == symTitle || symbol == symAlt;
        AdvanceChar();
        while (FLCh != quote && FLCh != 0) {
            if (FLCh == u'&') {
                value += ReadEntity(codePage);
                continue;
            }
            if (FLCh == CharCR) {
                if (keepLineEnds)
                    value += u"\r\n";
            } else
                value.push_back(FLCh);
            AdvanceChar();
        }
        if (FLCh == quote)
            AdvanceChar();
        return;
    }
    while (FLCh != 0 && FLCh != u'>' && FLCh != u' ' && FLCh != CharCR && FLCh != CharTab) {
        if (FLCh == u'&') {
            value += ReadEntity(codePage);
            continue;
        }
        value.push_back(FLCh);
        AdvanceChar();
    }
}

// Each run of white space becomes one space; collapsing across tags is the text section's business.
void THtmlTokenizer::ReadTextRun()
{
    const int codePage = CodePageNow();
    while (FLCh > 8 && FLCh != u'<') {
        if (FLCh == u' ' || FLCh == CharCR || FLCh == CharLF || FLCh == CharTab) {
            if (!ParseOnly)
                FToken.AddChar(u' ', *FSourcePos);
            AdvanceChar();
            SkipBlanks();
        } else if (FLCh == u'&') {
            const int pos = *FSourcePos;
            u16 text = ReadEntity(codePage);
            if (!ParseOnly)
                FToken.AddString(text, pos);
        } else {
            if (!ParseOnly)
                FToken.AddChar(FLCh, *FSourcePos);
            AdvanceChar();
        }
    }
}

u16 THtmlTokenizer::ReadEntity(int codePage)
{
    u16 raw = u"&";
    AdvanceChar();
    // 1. Numeric: decimal or hexadecimal, any number of digits, wrapping in 32 bits.
    if (FLCh == u'#') {
        raw.push_back(FLCh);
        AdvanceChar();
        const bool hex = FLCh == u'x' || FLCh == u'X';
        if (hex) {
            raw.push_back(FLCh);
            AdvanceChar();
        }
        std::uint32_t v = 0;
        bool any = false;
        for (;;) {
            int d = hex ? HexDigit(FLCh) : (IsDigit(FLCh) ? FLCh - u'0' : -1);
            if (d < 0)
                break;
            v = v * (hex ? 16u : 10u) + std::uint32_t(d);
            any = true;
            AdvanceChar();
        }
        if (!any)
            return raw;
        if (FLCh == u';')
            AdvanceChar();
        return CharForCodePoint(v, true, codePage);
    }
    // 2. Named: up to 11 letters and digits; without ";" only the Latin-1 names count.
    u16 name;
    while (name.size() < 11 && (IsAsciiLetter(FLCh) || IsDigit(FLCh))) {
        name.push_back(FLCh);
        AdvanceChar();
    }
    raw += name;
    const char16_t code = FindEntity(name);
    if (code == 0)
        return raw;
    if (FLCh == u';') {
        AdvanceChar();
        return CharForCodePoint(code, false, codePage);
    }
    return code <= 255 ? CharForCodePoint(code, false, codePage) : raw;
}

// --- Script and textarea content ---------------------------------------------------------------------

void THtmlTokenizer::ReadScriptSymbol()
{
    FToken.Clear();
    auto take = [this](char16_t c) {
        FToken.AddChar(c, *FSourcePos);
        AdvanceChar();
    };
    if (FLCh == 0) {
        FSy = symEndOfFile;
        return;
    }
    if (FLCh == CharCR) {
        FSy = symLineEnd;
        AdvanceChar();
        return;
    }
    if (FLCh != u'<') {
        FSy = symText;
        while (FLCh != 0 && FLCh != CharCR && FLCh != u'<')
            take(FLCh);
        return;
    }
    take(u'<');
    if (!(FLCh == u'/' || IsAsciiLetter(FLCh))) {
        FSy = symText;
        return;
    }
    while (FLCh == u'/' || IsAsciiLetter(FLCh))
        take(FLCh);
    FSy = SameTextAscii(FToken.AsString(), u"</script") ? symEndScript : symUnknownTag;
    for (int i = 0; i < 6 && FLCh != u'>' && FLCh != 0; ++i)
        take(FLCh == CharTab || FLCh == CharCR ? u' ' : FLCh);
    if (FLCh == u'>') {
        FToken.AddChar(u'>', *FSourcePos);
        if (FSy == symEndScript)
            RawMode = false; // so a comment right after the script is skipped again
        AdvanceChar();
    }
}

void THtmlTokenizer::ReadTextAreaSymbol()
{
    FToken.Clear();
    switch (FLCh) {
    case 0:
        FSy = symEndOfFile;
        return;
    case CharCR:
        FSy = symLineEnd;
        AdvanceChar();
        return;
    case u'&': {
        const int pos = *FSourcePos;
        FSy = symUnknownTag;
        FToken.AddString(ReadEntity(CodePageNow()), pos);
        return;
    }
    case u'<':
        while (FLCh != 0 && FLCh != CharTab && FLCh != CharCR && FLCh != u' ' && FLCh != u'>') {
            FToken.AddChar(FLCh, *FSourcePos);
            AdvanceChar();
        }
        FSy = SameTextAscii(FToken.AsString(), u"</textarea") ? symEndTextarea : symUnknownTag;
        return;
    default:
        FSy = symText;
        while (FToken.Count() < 100 && FLCh != 0 && FLCh != CharCR && FLCh != u'&' && FLCh != u'<') {
            FToken.AddChar(FLCh, *FSourcePos);
            AdvanceChar();
        }
    }
}

// --- Quirks detection --------------------------------------------------------------------------------

namespace {

// Reads the buffer unit by unit with no translation at all.
class TQuirksScanner {
public:
    explicit TQuirksScanner(TBuffer& b) : FBuffer(b) { Next(); }

    char16_t Ch = 0;
    void Next() { Ch = FBuffer.TakeChar(); }
    void SkipBlanks()
    {
        while (IsBlank(Ch))
            Next();
    }
    u16 Identifier()
    {
        u16 id;
        if (!(IsAsciiLetter(Ch) || Ch == u'_'))
            return id;
        while (IsAsciiLetter(Ch) || IsDigit(Ch) || Ch == u'-' || Ch == u'_') {
            id.push_back(UpperAscii(Ch));
            Next();
        }
        return id;
    }
    // A DOCTYPE word, upper-cased, after any blanks.
    u16 Word()
    {
        SkipBlanks();
        u16 w;
        while (IsAsciiLetter(Ch) || IsDigit(Ch) || Ch == u'-' || Ch == u'.' || Ch == u'/' || Ch == u'_') {
            w.push_back(UpperAscii(Ch));
            Next();
        }
        return w;
    }

    // After "<!DOCTYPE": true for the declarations that ask for standards mode.
    bool DoctypeIsStandards()
    {
        if (Word() != u"HTML")
            return false;
        SkipBlanks();
        if (Ch == u'>')
            return true;
        if (Word() != u"PUBLIC")
            return false;
        SkipBlanks();
        if (Ch == u'"')
            Next();
        if (Word() != u"-//W3C//DTD")
            return false;
        u16 language = Word();
        if (language == u"HTML")
            return Word() == u"4.01";
        if (language == u"XHTML") {
            u16 version = Word();
            if (version == u"BASIC")
                return Word() == u"1.1";
            return version == u"1.0" || version == u"1.1";
        }
        return false;
    }

private:
    TBuffer& FBuffer;
};

} // namespace

bool DetectQuirks(TBuffer& buffer)
{
    struct TRestore {
        TBuffer& B;
        TBuffer::TReadState State;
        ~TRestore() { B.RestoreState(State); }
    } restore{buffer, buffer.SaveState()};
    TQuirksScanner s(buffer);
    for (;;) {
        while (s.Ch != 0 && s.Ch != u'<')
            s.Next();
        if (s.Ch == 0)
            return true;
        s.Next();
        if (s.Ch == 0)
            return true;
        if (s.Ch == u'!') {
            s.Next();
            if (s.Identifier() == u"DOCTYPE") {
                if (s.DoctypeIsStandards())
                    return false;
            } else
                while (s.Ch != 0 && s.Ch != u'>')
                    s.Next();
            continue;
        }
        u16 name = s.Identifier();
        if (name == u"HTML" || name == u"HEAD" || name == u"BODY")
            return true;
    }
}

} // namespace lantern
