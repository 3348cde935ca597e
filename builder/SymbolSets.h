// Sets of symbols: the terminators a handler is given by its callers, and the fixed groups that decide which
// symbols a container hands to its inline reader.
#pragma once

#include "markup/Symbols.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace lantern {

class TSymbolSet {
public:
    constexpr TSymbolSet() = default;
    constexpr TSymbolSet(std::initializer_list<THtmlSymbol> symbols)
    {
        for (THtmlSymbol s : symbols)
            Bits[s >> 6] |= std::uint64_t(1) << (s & 63);
    }
    constexpr bool Has(THtmlSymbol s) const { return (Bits[s >> 6] >> (s & 63)) & 1; }
    constexpr TSymbolSet operator|(const TSymbolSet& other) const
    {
        TSymbolSet r;
        for (std::size_t i = 0; i < Bits.size(); ++i)
            r.Bits[i] = Bits[i] | other.Bits[i];
        return r;
    }

private:
    std::array<std::uint64_t, 4> Bits{};
};

// What the body loop and the list loop hand to ParseInline.
inline constexpr TSymbolSet FlowGroup = {
    symB, symEndB, symI, symEndI, symBr, symH, symEndH, symEm, symEndEm, symStrong, symEndStrong, symU, symEndU,
    symHr, symCite, symVar, symEndCite, symEndVar, symTt, symCode, symKbd, symSamp, symEndTt, symEndCode,
    symEndKbd, symEndSamp, symPre, symEndPre, symImg, symA, symEndA, symText, symTable, symInput, symTextarea,
    symEndTextarea, symSelect, symFont, symEndFont, symBasefont, symSub, symEndSub, symSup, symEndSup, symBig,
    symEndBig, symSmall, symEndSmall, symMap, symPage, symScript, symS, symEndS, symStrike, symEndStrike,
    symPanel, symNobr, symEndNobr, symWbr, symSpan, symEndSpan, symLabel, symEndLabel, symObject, symEndObject,
    symMark, symEndMark};

// What a paragraph reads before an implied end: no blocks, and unknown tags are passed over inside it.
inline constexpr TSymbolSet ParagraphGroup = {
    symB, symEndB, symI, symEndI, symBr, symEm, symEndEm, symStrong, symEndStrong, symU, symEndU, symCite, symVar,
    symEndCite, symEndVar, symTt, symCode, symKbd, symSamp, symEndTt, symEndCode, symEndKbd, symEndSamp, symImg,
    symA, symEndA, symUnknownTag, symText, symInput, symTextarea, symEndTextarea, symSelect, symFont, symEndFont,
    symBasefont, symSub, symEndSub, symSup, symEndSup, symBig, symEndBig, symSmall, symEndSmall, symMap, symPage,
    symScript, symEndScript, symS, symEndS, symStrike, symEndStrike, symPanel, symNobr, symEndNobr, symWbr,
    symSpan, symEndSpan, symLabel, symEndLabel, symObject, symEndObject, symMark, symEndMark};

inline constexpr TSymbolSet HeadingGroup = {
    symB, symEndB, symI, symEndI, symBr, symEm, symEndEm, symStrong, symEndStrong, symU, symEndU, symHr, symCite,
    symVar, symEndCite, symEndVar, symTt, symCode, symKbd, symSamp, symEndTt, symEndCode, symEndKbd, symEndSamp,
    symImg, symA, symEndA, symText, symInput, symTextarea, symEndTextarea, symSelect, symFont, symEndFont,
    symBasefont, symSub, symEndSub, symSup, symEndSup, symBig, symEndBig, symSmall, symEndSmall, symScript,
    symEndScript, symS, symEndS, symStrike, symEndStrike, symPanel, symNobr, symEndNobr, symWbr, symSpan,
    symEndSpan, symLabel, symEndLabel, symObject, symEndObject, symMark};

inline constexpr TSymbolSet ListItemGroup = {
    symB, symEndB, symI, symEndI, symBr, symH, symEm, symEndEm, symStrong, symEndStrong, symU, symEndU, symCite,
    symVar, symEndCite, symEndVar, symTt, symCode, symKbd, symSamp, symEndTt, symEndCode, symEndKbd, symEndSamp,
    symImg, symA, symEndA, symText, symInput, symTextarea, symEndTextarea, symSelect, symFont, symEndFont,
    symBasefont, symSub, symEndSub, symSup, symEndSup, symBig, symEndBig, symSmall, symEndSmall, symMap, symPage,
    symScript, symEndScript, symS, symEndS, symStrike, symEndStrike, symPanel, symNobr, symEndNobr, symWbr,
    symSpan, symEndSpan, symLabel, symEndLabel, symObject, symEndObject, symMark, symEndMark};

inline constexpr TSymbolSet ListSymbols = {symOl, symUl, symDir, symMenu, symDl};
inline constexpr TSymbolSet ListEndSymbols = {symEndOl, symEndUl, symEndDir, symEndMenu, symEndDl, symEndBlockquote};
// The block containers a heading reads inside itself, and the ones a list or list item reads.
inline constexpr TSymbolSet SectioningSymbols = {symDiv, symHeader, symNav, symArticle, symAside, symFooter, symHgroup};
// What ends the content of a table cell.
inline constexpr TSymbolSet CellTerminators = {
    symEndTable, symTd, symEndTd, symTr, symEndTr, symTh, symEndTh, symCaption, symEndCaption, symCol, symColgroup,
    symThead, symTbody, symTfoot, symEndThead, symEndTbody, symEndTfoot};

// The inline phrase elements: a push or a pop and a change of font, nothing else.
inline constexpr TSymbolSet PhraseSymbols = {symB,  symI,    symEm,   symStrong, symU,    symCite,
                                             symVar, symS,   symStrike, symMark, symTt,   symCode,
                                             symKbd, symSamp, symSpan, symLabel};
inline constexpr TSymbolSet SizedPhraseSymbols = {symSub, symSup, symBig, symSmall};
inline constexpr TSymbolSet PhraseEndSymbols = {
    symEndB, symEndI,    symEndEm,   symEndStrong, symEndU,   symEndCite, symEndVar,  symEndS,   symEndStrike, symEndMark,
    symEndTt, symEndCode, symEndKbd, symEndSamp,   symEndSpan, symEndLabel, symEndSub, symEndSup, symEndBig,    symEndSmall};

} // namespace lantern
