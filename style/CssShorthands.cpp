// Shorthand properties expanded into their longhands, the word splitting they share, and url rewriting.
#include "style/CssParser.h"

#include "common/UrlSubs.h"

#include "style/ColorParser.h"
#include "style/Properties.h"

#include <algorithm>
#include <array>

namespace lantern {

namespace {

constexpr std::array<std::u16string_view, 13> ShorthandNames = {
    u"margin", u"padding", u"border-width", u"border", u"border-top", u"border-right", u"border-bottom",
    u"border-left", u"font", u"background", u"list-style", u"border-color", u"border-style"};

constexpr std::array<std::u16string_view, 9> BorderStyleWords = {
    u"none", u"solid", u"dashed", u"dotted", u"double", u"groove", u"inset", u"outset", u"ridge"};

// Font shorthand words; the position says what a word gives: 0-1 style, 2-5 weight, 6 variant, 7-15 size.
constexpr std::array<std::u16string_view, 16> FontWords = {
    u"italic", u"oblique", u"normal", u"bolder", u"lighter", u"bold", u"small-caps", u"larger", u"smaller",
    u"xx-small", u"x-small", u"small", u"medium", u"large", u"x-large", u"xx-large"};

// Function calls in the order they are looked for ("rgba(" before "hsla(" before "hsl(").
constexpr std::array<std::u16string_view, 5> FunctionStarts = {u"url(", u"rgb(", u"rgba(", u"hsla(", u"hsl("};

constexpr int MaxWords = 7;

template <std::size_t N> int IndexIn(const std::array<std::u16string_view, N>& table, u16v word)
{
    auto it = std::find(table.begin(), table.end(), word);
    return it == table.end() ? -1 : int(it - table.begin());
}

bool IsColorWord(u16v word)
{
    Color color;
    return ParseColor(word, true, color);
}

bool Contains(u16v text, u16v part) { return text.find(part) != u16v::npos; }

bool IsNameChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// True when the value calls a function other than the ones the expansions read (a gradient, calc()): pages
// write such a declaration after a plain one as a fallback, so expanding it would wipe what the plain one set.
bool CallsUnknownFunction(u16v value)
{
    for (std::size_t open = value.find(u'('); open != u16v::npos; open = value.find(u'(', open + 1)) {
        std::size_t start = open;
        while (start > 0 && IsNameChar(value[start - 1]))
            --start;
        if (IndexIn(FunctionStarts, value.substr(start, open + 1 - start)) < 0)
            return true;
    }
    return false;
}

} // namespace

bool FindShorthand(u16v name, TShorthand& code)
{
    int index = IndexIn(ShorthandNames, name);
    if (index < 0)
        return false;
    code = TShorthand(index);
    return true;
}

std::vector<u16> SplitCssWords(u16v value, int maxCount)
{
    // Blank runs collapse to one, and a blank after a comma goes ("a, b" is one word).
    u16 text;
    for (char16_t c : TrimView(value)) {
        if (c <= u' ')
            c = u' ';
        if (c == u' ' && !text.empty() && (text.back() == u' ' || text.back() == u','))
            continue;
        text += c;
    }

    std::vector<u16> words;
    u16 word;
    char16_t quote = 0;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u' ') {
            words.push_back(word);
            word.clear();
            if (int(words.size()) == maxCount) {
                ++i;
                break;
            }
            continue;
        }
        word += c;
    }
    if (i < text.size())
        word = text.substr(i); // what is left beyond the count
    if (!word.empty())
        words.push_back(word);

    // A "/" after a word's first character starts a new word: "12px/1.5" is a size and a line height.
    std::vector<u16> out;
    for (u16& w : words) {
        // A url keeps its slashes.
        std::size_t slash = w.find(u'/', 1);
        if (slash != u16::npos && !(w.find(u"url(") < slash)) {
            out.push_back(w.substr(0, slash));
            out.push_back(w.substr(slash));
        } else {
            out.push_back(std::move(w));
        }
    }
    return out;
}

std::vector<u16> TakeFunctionWords(u16& value, int maxCount)
{
    std::vector<u16> words;
    while (int(words.size()) < maxCount) {
        std::size_t at = u16::npos;
        for (u16v start : FunctionStarts)
            if ((at = value.find(start)) != u16::npos)
                break;
        if (at == u16::npos)
            break;
        std::size_t close = value.find(u')', at);
        std::size_t end = close == u16::npos ? value.size() : close + 1;
        words.push_back(value.substr(at, end - at));
        value.erase(at, end - at);
    }
    return words;
}

// ---------------------------------------------------------------------------------------------------------------

void THtmlStyleParser::ExpandShorthand(TShorthand code, u16v value)
{
    if (CallsUnknownFunction(value))
        return;
    switch (code) {
    case TShorthand::Margin: ExpandBoxSides(piMarginTop, value); break;
    case TShorthand::Padding: ExpandBoxSides(piPaddingTop, value); break;
    case TShorthand::BorderWidth: ExpandBoxSides(piBorderTopWidth, value); break;
    case TShorthand::BorderColor: ExpandBoxSides(piBorderTopColor, value); break;
    case TShorthand::BorderStyle: ExpandBoxSides(piBorderTopStyle, value); break;
    case TShorthand::Border:
    case TShorthand::BorderTop:
    case TShorthand::BorderRight:
    case TShorthand::BorderBottom:
    case TShorthand::BorderLeft: ExpandBorder(code, value); break;
    case TShorthand::Font: ExpandFont(value); break;
    case TShorthand::Background: ExpandBackground(value); break;
    case TShorthand::ListStyle: ExpandListStyle(value); break;
    }
}

void THtmlStyleParser::ExpandBoxSides(int firstIndex, u16v value)
{
    std::vector<u16> words = SplitCssWords(value, 4);
    if (words.empty())
        return;
    words.resize(std::min<std::size_t>(words.size(), 4));
    // Which word each side takes (top, right, bottom, left), by the number of words given.
    static constexpr int Pick[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
    for (int side = 0; side < 4; ++side)
        ProcessDeclaration(PropertyName(firstIndex + side), words[std::size_t(Pick[words.size() - 1][side])]);
}

void THtmlStyleParser::ExpandBorder(TShorthand code, u16v value)
{
    u16 width = u"medium", style = u"none", color;
    u16 rest(value);
    for (const u16& word : TakeFunctionWords(rest, MaxWords))
        if (IsColorWord(word))
            color = word;
    std::vector<u16> words = SplitCssWords(rest, MaxWords);
    for (std::size_t i = 0; i < words.size() && i < MaxWords; ++i) {
        if (IsColorWord(words[i]))
            color = words[i];
        else if (IndexIn(BorderStyleWords, words[i]) >= 0)
            style = words[i];
        else
            width = words[i];
    }

    int first = 0, last = 3; // sides, top to left
    if (code != TShorthand::Border)
        first = last = int(code) - int(TShorthand::BorderTop);
    for (int side = first; side <= last; ++side) {
        if (!color.empty())
            ProcessDeclaration(PropertyName(piBorderTopColor + side), color);
        ProcessDeclaration(PropertyName(piBorderTopWidth + side), width);
        ProcessDeclaration(PropertyName(piBorderTopStyle + side), style);
    }
}

void THtmlStyleParser::ExpandFont(u16v value)
{
    u16 style = u"normal", variant = u"normal", weight = u"normal", lineHeight = u"normal";
    u16 size = Quirks ? u"small" : u"medium";
    u16 family;
    bool hasFamily = false;

    std::vector<u16> words = SplitCssWords(value, MaxWords);
    for (std::size_t i = 0; i < words.size() && i < MaxWords; ++i) {
        const u16& word = words[i];
        if (word.empty())
            continue;
        if (word[0] == u'/') {
            lineHeight = word.substr(1);
        } else if (word[0] >= u'0' && word[0] <= u'9') {
            std::size_t slash = word.find(u'/');
            if (slash != u16::npos) {
                size = word.substr(0, slash);
                lineHeight = word.substr(slash + 1);
            } else if (auto n = TryStrToInt(word); !n || *n < 100) {
                size = word; // "700" is a weight, and the shorthand drops it
            }
        } else if (int at = IndexIn(FontWords, word); at >= 0) {
            (at <= 1 ? style : at <= 5 ? weight : at == 6 ? variant : size) = word;
        } else {
            family = word; // the last such word wins
            hasFamily = true;
        }
    }

    ProcessDeclaration(u"font-style", style);
    ProcessDeclaration(u"font-variant", variant);
    ProcessDeclaration(u"font-weight", weight);
    ProcessDeclaration(u"font-size", size);
    ProcessDeclaration(u"line-height", lineHeight);
    if (hasFamily)
        ProcessDeclaration(u"font-family", family);
}

void THtmlStyleParser::ExpandBackground(u16v value)
{
    u16 color = u"transparent", image = u"none", repeat = u"repeat", attachment = u"scroll", position = u"0% 0%";
    u16 rest(value);
    for (u16& word : TakeFunctionWords(rest, MaxWords)) {
        if (word.starts_with(u"url("))
            image = Base.empty() ? word : RewriteCssUrl(word);
        else
            color = word;
    }

    std::vector<u16> words = SplitCssWords(rest, MaxWords);
    words.resize(std::min<std::size_t>(words.size(), MaxWords));
    std::vector<bool> used(words.size(), false);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (IsColorWord(words[i]))
            color = words[i], used[i] = true;
        else if (words[i] == u"none")
            image = words[i], used[i] = true;
    }
    ProcessDeclaration(u"background-color", color);
    ProcessDeclaration(u"background-image", image);

    for (std::size_t i = 0; i < words.size(); ++i)
        if (!used[i] && Contains(words[i], u"repeat"))
            repeat = words[i], used[i] = true;
    ProcessDeclaration(u"background-repeat", repeat);

    for (std::size_t i = 0; i < words.size(); ++i)
        if (!used[i] && (words[i] == u"fixed" || words[i] == u"scroll"))
            attachment = words[i], used[i] = true;
    ProcessDeclaration(u"background-attachment", attachment);

    // The last two unused words, in their order, are the position.
    std::vector<u16v> unused;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!used[i])
            unused.push_back(words[i]);
    if (!unused.empty()) {
        position = u16(unused.back());
        if (unused.size() >= 2)
            position = u16(unused[unused.size() - 2]) + u' ' + position;
    }
    ProcessDeclaration(u"background-position", position);
}

void THtmlStyleParser::ExpandListStyle(u16v value)
{
    u16 type = u"disc", position = Quirks ? u"inside" : u"outside", image = u"none";
    for (const u16& word : SplitCssWords(value, MaxWords)) {
        if (Contains(word, u"url("))
            image = Base.empty() ? word : RewriteCssUrl(word);
        else if (word == u"inside" || word == u"outside")
            position = word;
        else
            type = word; // "none" included
    }
    ProcessDeclaration(u"list-style-type", type);
    ProcessDeclaration(u"list-style-position", position);
    ProcessDeclaration(u"list-style-image", image);
}

// ---------------------------------------------------------------------------------------------------------------

u16 THtmlStyleParser::RewriteCssUrl(u16v value) const
{
    u16 url = ExtractCssUrl(value);
    u16 path;
    if (Base.find(u"://") != u16::npos) {
        path = IsAbsoluteUrl(url) ? url : JoinUrl(Base, url);
    } else {
        // A file base: the url as a local path, kept when it is absolute (or names a drive), else under the base.
        path = UrlToDosPath(url);
        bool absolute = (!path.empty() && path[0] == u'/') || (path.size() > 1 && path[1] == u':');
        if (!absolute)
            path = JoinDosPath(Base, path);
    }
    return u"url(\"" + path + u"\")";
}

} // namespace lantern
