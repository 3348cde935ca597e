#include "style/CssParser.h"

#include "markup/Attributes.h"
#include "markup/Buffer.h"
#include "style/CssSelectors.h"
#include "style/Properties.h"
#include "style/StyleList.h"

namespace lantern {

namespace {

constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
constexpr bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

// Identifier characters: "-", digits, letters, "_" and everything from "?" up, which takes in "@", "[", "]",
// "^", "{", "|", "}", "~", the backslash, the grave accent and all non-ASCII characters.
constexpr bool IsIdentifierChar(char16_t c) { return c == u'-' || IsDigit(c) || c == u'_' || c >= u'?'; }

// Characters a selector is collected from, besides the blank, "*", "+" and the qualifiers.
constexpr bool IsSelectorChar(char16_t c) { return c == u'-' || IsDigit(c) || c == u'>' || IsAsciiLetter(c) || c == u'_'; }

// The media types a sheet is read for: "all" and "screen".
constexpr unsigned AcceptedMedia = 65;

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Reading characters

THtmlStyleParser::THtmlStyleParser(TBuffer& buffer, bool quirks, u16v base) : Buffer(buffer), Base(base), Quirks(quirks)
{
}

void THtmlStyleParser::ReadChar()
{
    LChPosition = Buffer.Position();
    char16_t c = Buffer.TakeChar();
    if (c == u'/' && Buffer.LookAheadChar() == u'*') {
        Buffer.TakeChar();
        SkipComment();
        c = u' '; // a comment reads as one blank
    }
    if (c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r')
        c = u' ';
    LCh = c;
}

void THtmlStyleParser::SkipComment()
{
    char16_t previous = 0;
    for (;;) {
        char16_t c = Buffer.TakeChar();
        if (c == 0)
            throw EParseError("Unterminated comment in style file: " + ToUtf8(Buffer.Name()));
        if (previous == u'*' && c == u'/')
            return;
        previous = c;
    }
}

void THtmlStyleParser::SkipBlanks()
{
    while (LCh == u' ')
        ReadChar();
}

bool THtmlStyleParser::ReadIdentifier(u16& identifier)
{
    identifier.clear();
    if (LCh == u'-') {
        char16_t next = Buffer.LookAheadChar();
        if (next == u'-' || IsDigit(next))
            return false;
    } else if (IsDigit(LCh)) {
        return false;
    }
    while (IsIdentifierChar(LCh)) {
        identifier += LCh;
        ReadChar();
    }
    return !identifier.empty();
}

bool THtmlStyleParser::ReadQuotedString(u16& text)
{
    text.clear();
    if (!IsQuote(LCh))
        return false;
    const char16_t quote = LCh;
    text += quote;
    ReadChar();
    while (LCh != 0 && LCh != quote) {
        if (LCh == u'\\') {
            text += LCh;
            ReadChar();
            if (LCh == 0)
                break;
        }
        text += LCh;
        ReadChar();
    }
    if (LCh == quote) {
        text += quote;
        ReadChar();
    }
    return true;
}

u16 THtmlStyleParser::CleanValue(u16v raw)
{
    u16 value = LowerAscii(TrimView(raw));
    if (value.size() >= 2 && value.front() == value.back() && IsQuote(value.front()))
        value = value.substr(1, value.size() - 2);
    return value;
}

// ---------------------------------------------------------------------------------------------------------------
// Style sheets

THtmlStyleTagParser::THtmlStyleTagParser(TBuffer& buffer, THtmlStyleList& styles, bool quirks, bool external,
                                         u16v base)
    : THtmlStyleParser(buffer, quirks, base), Styles(styles), External(external)
{
}

bool THtmlStyleTagParser::AtStyleEnd() const { return LCh == 0 || LCh == u'<'; }

char16_t THtmlStyleTagParser::ParseSheet()
{
    // 1. Pass over blanks and the HTML comment opener that often wraps a style element's content. An end tag
    // right away means an empty element: stop on its "<" rather than read the tag as a selector.
    LCh = u' ';
    for (;;) {
        if (LCh == u'<' && !External && Buffer.LookAheadChar() == u'/')
            break;
        if (LCh != u' ' && LCh != u'!' && LCh != u'-' && LCh != u'<' && LCh != u'>')
            break;
        ReadChar();
    }

    // 2. Rules and at-rules up to the end of the sheet.
    while (LCh != 0 && !(LCh == u'<' && !External)) {
        if (LCh == u'@') {
            ReadAtRule();
        } else if (LCh == u'<') {
            // Markup inside an external sheet: pass over the tag's first word.
            do
                ReadChar();
            while (LCh != u' ' && LCh != 0);
            SkipBlanks();
        } else {
            ReadRule();
        }
        while (LCh == u' ' || LCh == u'-' || LCh == u'>') // includes the comment closer
            ReadChar();
    }
    return LCh;
}

void THtmlStyleTagParser::ReadRule()
{
    Selectors.clear();
    ReadSelectorList();
    ReadDeclarationBlock();
}

void THtmlStyleTagParser::ReadAtRule()
{
    ReadChar(); // the "@"
    u16 name;
    ReadIdentifier(name);
    name = LowerAscii(name);
    if (name == u"media")
        ReadMediaRule();
    else if (name == u"import")
        ReadImportRule();
    // Any other at-rule is not recognised: reading resumes after its name as if a rule began there.
}

unsigned THtmlStyleTagParser::ReadMediaList()
{
    unsigned mask = 0;
    SkipBlanks();
    u16 name;
    // A brace right away opens the block of a bare "@media" (inside a name it is taken, as any name character).
    while (LCh != u'{' && ReadIdentifier(name)) {
        int type = FindMediaType(LowerAscii(name));
        if (type >= 0)
            mask |= 1u << type;
        SkipBlanks();
        if (LCh != u',')
            break;
        ReadChar();
        SkipBlanks();
    }
    return mask;
}

void THtmlStyleTagParser::ReadMediaRule()
{
    unsigned mask = ReadMediaList();
    if (mask == 0)
        mask = 1; // no media named counts as "all"
    if (LCh == u';') {
        ReadChar();
    } else if (LCh == u'{') {
        if ((mask & AcceptedMedia) == 0) {
            SkipBlock();
            return;
        }
        ReadChar();
        for (;;) {
            SkipBlanks();
            if (LCh == u'}') {
                ReadChar();
                return;
            }
            if (AtStyleEnd())
                return;
            ReadRule();
        }
    } else {
        SkipToStatementEnd();
    }
}

void THtmlStyleTagParser::ReadImportRule()
{
    // The imported sheet is not loaded; the rule is read only to pass over it.
    SkipBlanks();
    u16 text;
    if (IsQuote(LCh)) {
        ReadQuotedString(text);
    } else if (ReadIdentifier(text) && LowerAscii(text) == u"url" && LCh == u'(') {
        ReadChar();
        SkipBlanks();
        if (!ReadQuotedString(text))
            while (LCh != u')' && !AtStyleEnd())
                ReadChar();
        SkipBlanks();
        if (LCh == u')')
            ReadChar();
    }
    ReadMediaList();
    if (LCh == u';')
        ReadChar();
    else
        SkipToStatementEnd();
}

void THtmlStyleTagParser::SkipBlock()
{
    int depth = 0;
    // A style element's end tag also ends the skip, so that a block left open cannot swallow the document.
    while (LCh != 0 && !(LCh == u'<' && !External)) {
        if (LCh == u'{') {
            ++depth;
        } else if (LCh == u'}' && --depth <= 0) {
            ReadChar();
            return;
        }
        ReadChar();
    }
}

void THtmlStyleTagParser::SkipToStatementEnd()
{
    int depth = 0;
    while (!AtStyleEnd()) {
        if (LCh == u'{') {
            ++depth;
        } else if (LCh == u'}') {
            if (depth <= 1) {
                ReadChar();
                return;
            }
            --depth;
        }
        ReadChar();
    }
}

void THtmlStyleTagParser::ReadSelectorList()
{
    auto nextSequence = [this] { return Styles.NextSequenceNumber(); };
    for (;;) {
        // 1. Collect one selector.
        SkipBlanks();
        u16 selector;
        bool canonical = false, unsupported = false;
        int qualifiers = 0;
        for (;; ReadChar()) {
            char16_t c = LCh;
            if (c == u' ' || c == u'*') {
                if (selector.empty() || selector.back() != u' ')
                    selector += u' ';
                qualifiers = 0;
            } else if (c == u'.' || c == u'#' || c == u':') {
                selector += c;
                canonical = canonical || ++qualifiers >= 2;
            } else if (c == u'+') {
                unsupported = true; // sibling combinators are not supported
            } else if (IsSelectorChar(c)) {
                selector += c;
            } else {
                break;
            }
        }
        // 2. Its key; an unsupported selector adds nothing but leaves the others of the list.
        if (!unsupported)
            Selectors.push_back(NormaliseSelector(LowerAscii(TrimView(selector)), canonical, nextSequence));
        // 3. The next selector, or past what cannot be read (an attribute selector, say) up to the block.
        if (LCh == u',') {
            ReadChar();
            continue;
        }
        while (LCh != u'{' && !AtStyleEnd())
            ReadChar();
        return;
    }
}

void THtmlStyleTagParser::ReadDeclarationBlock()
{
    if (LCh != u'{')
        return;
    ReadChar();
    for (;;) {
        // 1. The property name.
        SkipBlanks();
        if (LCh == u'}' || AtStyleEnd())
            break;
        u16 name;
        ReadIdentifier(name);
        SkipBlanks();
        // 2. and 3. Its value, stored or expanded.
        if (LCh == u':' || LCh == u'=') {
            ReadChar();
            SkipBlanks();
            u16 raw;
            while (LCh != u';' && LCh != u'}' && !AtStyleEnd()) {
                raw += LCh;
                ReadChar();
            }
            u16 value = CleanValue(raw);
            name = LowerAscii(name);
            TShorthand code;
            if (FindShorthand(name, code)) {
                ExpandShorthand(code, value);
            } else {
                if (!Base.empty() && value.find(u"url(") != u16::npos)
                    value = RewriteCssUrl(value);
                ProcessDeclaration(name, value);
            }
        }
        // 4. Past the rest of the declaration.
        SkipToDeclarationEnd();
    }
    if (LCh == u'}')
        ReadChar();
}

void THtmlStyleTagParser::SkipToDeclarationEnd()
{
    std::u16string closers; // innermost last
    while (LCh != 0) {
        if (closers.empty()) {
            if (LCh == u';') {
                ReadChar();
                return;
            }
            if (LCh == u'}' || LCh == u'<')
                return;
        }
        char16_t c = LCh;
        if (!closers.empty() && c == closers.back())
            closers.pop_back();
        else if (IsQuote(c))
            closers += c;
        else if (c == u'(')
            closers += u')';
        else if (c == u'[')
            closers += u']';
        else if (c == u'{')
            closers += u'}';
        ReadChar();
    }
}

void THtmlStyleTagParser::ProcessDeclaration(u16v name, u16v value)
{
    for (const u16& key : Selectors)
        Styles.AddRuleProperty(key, name, value);
}

void ParseStyleSheet(THtmlStyleList& styles, char16_t& ch, TBuffer& buffer, bool quirks, bool external, u16v base,
                     int* chPosition)
{
    THtmlStyleTagParser parser(buffer, styles, quirks, external, base);
    ch = parser.ParseSheet();
    if (chPosition)
        *chPosition = parser.StopPosition();
}

// ---------------------------------------------------------------------------------------------------------------
// Style attributes

THtmlStyleAttrParser::THtmlStyleAttrParser(TBuffer& buffer, TProperties& target)
    : THtmlStyleParser(buffer, target.Quirks, {}), Target(target)
{
}

void THtmlStyleAttrParser::ParseAttribute()
{
    auto startsName = [](char16_t c) { return c == u'-' || IsDigit(c) || IsAsciiLetter(c); };
    ReadChar();
    while (LCh != 0) {
        SkipBlanks();
        u16 name;
        while (startsName(LCh)) {
            name += LCh;
            ReadChar();
        }
        name = LowerAscii(TrimView(name));
        SkipBlanks();
        if (LCh == u':' || LCh == u'=') {
            ReadChar();
            u16 raw;
            while (LCh != u';' && LCh != 0) {
                raw += LCh;
                ReadChar();
            }
            u16 value = CleanValue(raw);
            TShorthand code;
            if (FindShorthand(name, code))
                ExpandShorthand(code, value);
            else
                ProcessDeclaration(name, value);
        }
        SkipBlanks();
        if (LCh == u';')
            ReadChar();
        while (LCh != 0 && !startsName(LCh))
            ReadChar();
    }
}

void THtmlStyleAttrParser::ProcessDeclaration(u16v name, u16v value) { Target.SetPropByName(name, value); }

void ParseStyleAttribute(u16v text, TProperties& target)
{
    std::unique_ptr<TBuffer> buffer = TBuffer::CreateFromString(text);
    THtmlStyleAttrParser parser(*buffer, target);
    parser.ParseAttribute();
}

std::unique_ptr<TProperties> GetStyle(const TAttributeList& attributes)
{
    const TAttribute* style = attributes.Find(symStyle);
    if (!style)
        return nullptr;
    auto set = std::make_unique<TProperties>();
    ParseStyleAttribute(style->Value, *set);
    return set;
}

} // namespace lantern
