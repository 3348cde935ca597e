// The CSS readers: style sheets (style elements and linked files) into the style list, and style attributes
// into one property set. Both read characters from a TBuffer and expand the same shorthands.
//
// A parser object lives for one call and borrows everything it works on: the buffer, the style list or the
// target set. The readers are forgiving: what they do not understand is skipped, and the one error they raise
// (EParseError) is for a comment that never ends; what was stored before it stays.
#pragma once

#include "common/Str.h"
#include "markup/Errors.h"

#include <memory>
#include <vector>

namespace lantern {

class TAttributeList;
class TBuffer;
class TProperties;
class THtmlStyleList;

// Shorthand codes, in table order.
enum class TShorthand : int {
    Margin, Padding, BorderWidth, Border, BorderTop, BorderRight, BorderBottom, BorderLeft, Font, Background,
    ListStyle, BorderColor, BorderStyle
};

// The shorthand a property name stands for, exact comparison; false when it is a longhand.
bool FindShorthand(u16v name, TShorthand& code);

// Cuts a value into words: blank runs collapse, a blank after a comma goes, quoted stretches stay in one word,
// and a "/" after a word's first character starts a new word. At most maxCount + 1 words: the last one holds
// what is left.
std::vector<u16> SplitCssWords(u16v value, int maxCount);

// Takes url(), rgb(), rgba(), hsla() and hsl() calls out of `value` (each up to its first ")"), at most
// maxCount of them; `value` keeps the rest.
std::vector<u16> TakeFunctionWords(u16& value, int maxCount);

class THtmlStyleParser {
public:
    THtmlStyleParser(TBuffer& buffer, bool quirks, u16v base);
    virtual ~THtmlStyleParser() = default;

    // Expands one shorthand into ProcessDeclaration calls for its longhands.
    void ExpandShorthand(TShorthand code, u16v value);

protected:
    virtual void ProcessDeclaration(u16v name, u16v value) = 0;

    // Reading: the current character is LCh.
    void ReadChar();
    bool ReadIdentifier(u16& identifier);
    void SkipBlanks();
    bool ReadQuotedString(u16& text);

    // The value's "url(...)" made absolute against the base location.
    u16 RewriteCssUrl(u16v value) const;
    // A trimmed, lower-cased value with one pair of enclosing quotes removed.
    static u16 CleanValue(u16v raw);

    TBuffer& Buffer;
    char16_t LCh = u' ';
    int LChPosition = 0; // the buffer position LCh was read at
    u16 Base; // empty for style attributes and style elements
    bool Quirks = false;

private:
    void SkipComment();
    void ExpandBoxSides(int firstIndex, u16v value);
    void ExpandBorder(TShorthand code, u16v value);
    void ExpandFont(u16v value);
    void ExpandBackground(u16v value);
    void ExpandListStyle(u16v value);
};

// Reads a style sheet into the style list.
class THtmlStyleTagParser : public THtmlStyleParser {
public:
    THtmlStyleTagParser(TBuffer& buffer, THtmlStyleList& styles, bool quirks, bool external, u16v base);

    // Parses to the end of the sheet: the end of input, or for a style element the "<" of its end tag. Returns
    // the character where parsing stopped.
    char16_t ParseSheet();
    // The buffer position of the character ParseSheet stopped at.
    int StopPosition() const { return LChPosition; }

protected:
    void ProcessDeclaration(u16v name, u16v value) override;

private:
    bool AtStyleEnd() const;
    void ReadAtRule();
    void ReadMediaRule();
    void ReadImportRule();
    unsigned ReadMediaList();
    void SkipBlock();
    void SkipToStatementEnd();
    void ReadRule();
    void ReadSelectorList();
    void ReadDeclarationBlock();
    void SkipToDeclarationEnd();

    THtmlStyleList& Styles;
    bool External = false;
    std::vector<u16> Selectors; // keys of the rule being read
};

// Reads the text of a style attribute into one set.
class THtmlStyleAttrParser : public THtmlStyleParser {
public:
    THtmlStyleAttrParser(TBuffer& buffer, TProperties& target);
    void ParseAttribute();

protected:
    void ProcessDeclaration(u16v name, u16v value) override;

private:
    TProperties& Target;
};

// Parses a sheet from `buffer`'s read position; `ch` receives the character where parsing stopped, from which
// the document builder continues (the character passed in, the ">" of the style tag, is passed over), and
// `chPosition`, when given, the buffer position it was read at (THtmlTokenizer::SetLCh takes both). With
// `external` off (a style element) a "<" outside a rule ends the sheet. `base` is the location relative urls are
// resolved against (empty: none).
void ParseStyleSheet(THtmlStyleList& styles, char16_t& ch, TBuffer& buffer, bool quirks, bool external, u16v base,
                     int* chPosition = nullptr);

// Parses a style attribute into `target` (its quirks flag decides the shorthand defaults).
void ParseStyleAttribute(u16v text, TProperties& target);

// The set a STYLE attribute gives: a new empty set with the value parsed into it; none without one. The builder
// hands it to PushElement with its element, whose entry then owns it, so it lives exactly as long as the element
// is open, whatever the tokenizer reads meanwhile.
std::unique_ptr<TProperties> GetStyle(const TAttributeList& attributes);

} // namespace lantern
