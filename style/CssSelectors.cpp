#include "style/CssSelectors.h"

#include <algorithm>

namespace lantern {

namespace {

constexpr bool IsQualifier(char16_t c) { return c == u'.' || c == u'#' || c == u':'; }

// The pieces of a compound, each starting at a qualifier character or at the start.
std::vector<u16v> SplitPieces(u16v compound)
{
    std::vector<u16v> pieces;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= compound.size(); ++i) {
        if (i == compound.size() || IsQualifier(compound[i])) {
            if (i > start)
                pieces.push_back(compound.substr(start, i - start));
            start = i;
        }
    }
    return pieces;
}

std::vector<u16v> SplitAtBlanks(u16v text)
{
    std::vector<u16v> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == u' ')
            ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != u' ')
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

} // namespace

u16 SortQualifiers(u16v compound)
{
    // A child combinator's ">" belongs to the compound but is no piece of it.
    bool childMark = !compound.empty() && compound.back() == u'>';
    if (childMark)
        compound.remove_suffix(1);

    u16v tag;
    std::vector<u16v> classes, ids, pseudos;
    for (u16v piece : SplitPieces(compound)) {
        switch (piece[0]) {
        case u'.': classes.push_back(piece); break;
        case u'#': ids.push_back(piece); break;
        case u':': pseudos.push_back(piece); break;
        default: tag = piece; break;
        }
    }
    std::sort(classes.begin(), classes.end());

    u16 out(tag);
    for (const auto* group : {&classes, &ids, &pseudos})
        for (u16v piece : *group)
            out += piece;
    if (childMark)
        out += u'>';
    return out;
}

u16 NormaliseSelector(u16v text, bool canonical, const std::function<u16()>& nextSequence)
{
    // 1. A ">" at either end is dropped; inside, it is glued to the compound before it.
    u16 s(text);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != u'>')
            continue;
        if (i == 0 || i + 1 == s.size()) {
            s.erase(i, 1);
            --i;
            continue;
        }
        std::size_t blanks = 0;
        while (blanks < i && s[i - 1 - blanks] == u' ')
            ++blanks;
        s.erase(i - blanks, blanks);
        i -= blanks;
        if (i + 1 < s.size() && s[i + 1] != u' ')
            s.insert(i + 1, 1, u' ');
    }
    s = Trim(s);

    auto shape = [canonical](u16v compound) { return canonical ? SortQualifiers(compound) : u16(compound); };

    // 2. A plain compound is its own key.
    std::vector<u16v> compounds = SplitAtBlanks(s);
    if (compounds.size() <= 1)
        return shape(s);

    // 3. Subject, then the count and sequence digits, then the ancestors from the nearest outward.
    std::size_t ancestors = compounds.size() - 1;
    u16 key = shape(compounds.back());
    key += u' ';
    key += IntToStr(static_cast<long long>(ancestors));
    key += nextSequence();
    for (std::size_t i = ancestors; i-- > 0;) {
        key += shape(compounds[i]);
        key += u' ';
    }
    return key;
}

TKeyWord SplitCompound(u16v compound)
{
    TKeyWord word;
    if (!compound.empty() && compound.back() == u'>') {
        word.MustBeDirectParent = true;
        compound.remove_suffix(1);
    }
    for (u16v piece : SplitPieces(compound)) {
        switch (piece[0]) {
        case u'.':
            if (!word.Classes.empty())
                word.Classes += u'.';
            word.Classes += piece.substr(1);
            break;
        case u'#': word.Id = u16(piece.substr(1)); break;
        case u':': word.Pseudo = u16(piece.substr(1)); break;
        default: word.Tag = u16(piece); break;
        }
    }
    return word;
}

std::vector<TKeyWord> SplitRuleKey(u16v key)
{
    constexpr std::size_t MaxWords = 10;
    std::vector<TKeyWord> words;
    for (u16v text : SplitAtBlanks(key)) {
        if (words.size() == MaxWords)
            break;
        if (words.size() == 1) {
            std::size_t digits = 0;
            while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9')
                ++digits;
            text.remove_prefix(digits);
        }
        words.push_back(SplitCompound(text));
    }
    return words;
}

bool ClassListContains(u16v have, u16v wanted)
{
    if (wanted.empty() || wanted == have)
        return true;
    // Runs once per rule and ancestor during the cascade: compare in place, without splitting into lists.
    auto hasClass = [have](u16v cls) {
        for (std::size_t start = 0; start <= have.size();) {
            std::size_t dot = have.find(u'.', start);
            std::size_t end = dot == u16v::npos ? have.size() : dot;
            if (have.substr(start, end - start) == cls)
                return true;
            start = end + 1;
        }
        return false;
    };
    for (std::size_t start = 0; start <= wanted.size();) {
        std::size_t dot = wanted.find(u'.', start);
        std::size_t end = dot == u16v::npos ? wanted.size() : dot;
        if (end > start && !hasClass(wanted.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace lantern
