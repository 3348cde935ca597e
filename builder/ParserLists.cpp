// Lists and list items; ADDRESS and BLOCKQUOTE read as lists too.
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/TextSection.h"
#include "style/Properties.h"

namespace lantern {

namespace {

// The block containers a list or a list item reads inside itself.
constexpr TSymbolSet ListBlockContainers = {symCenter, symForm, symDiv, symHeader, symNav,
                                            symArticle, symAside, symFooter, symHgroup};
constexpr TSymbolSet ItemBlockContainers = {symAddress, symBlockquote, symCenter, symFieldset, symForm, symDiv,
                                            symHeader, symNav, symArticle, symAside, symFooter, symHgroup};
// What ends the content of an item's block containers besides the list's own terminators.
constexpr TSymbolSet ItemEnds = {symEndOl, symLi, symEndUl, symEndDir, symEndMenu, symEndDl, symDd, symDt,
                                 symEndOfFile};

} // namespace

// A list's end tag closes that list, even when an enclosing list of the same kind waits for one too: the
// enclosing list's terminators reach the nested one so that a missing end tag still ends both.
void THtmlParser::ParseNestedList(THtmlSymbol symbol, const TSymbolSet& terminators)
{
    ParseList(symbol, terminators);
    if (Sy() == EndSymbolOf(symbol))
        NextSymbol();
}

void THtmlParser::ParseList(THtmlSymbol symbol, const TSymbolSet& terminators)
{
    // 1.-2.
    const THtmlSymbol end = EndSymbolOf(symbol);
    const TAttributeList& attributes = Attributes();
    int number = 1;
    char16_t type = u'1';
    bool plain = false;
    if (symbol == symOl) {
        if (const TAttribute* start = attributes.Find(symStart); start && start->IntValue >= 0)
            number = start->IntValue;
        if (const TAttribute* t = attributes.Find(symType); t && !t->Value.empty())
            type = t->Value[0];
    } else if (symbol == symUl) {
        const TAttribute* t = attributes.Find(symType);
        plain = attributes.Find(symPlain) ||
                (t && (SameTextAscii(t->Value, u"none") || SameTextAscii(t->Value, u"plain")));
    }
    // 3.
    CloseSection();
    const u16& tag = SymbolName(symbol);
    Push(tag, &attributes);
    TCellBasic* owner = FCell;
    TBlock& block = OpenBlock<TBlock>(&attributes);
    NextSymbol();
    // 4. An empty list.
    if (ListEndSymbols.Has(Sy())) {
        Pop(SymbolName(Sy()));
        FCell = owner;
        return;
    }
    // 5.
    const bool counts = ListSymbols.Has(symbol);
    if (counts)
        ++FListDepth;
    // 6.
    const TSymbolSet listTerminators = terminators | TSymbolSet{end};
    TCellBasic* previousInline = nullptr;
    while (Sy() != symEndOfFile && Sy() != end && !terminators.Has(Sy())) {
        const THtmlSymbol sy = Sy();
        if (sy == symP)
            ParseParagraph(listTerminators);
        else if (FlowGroup.Has(sy))
            ParseInline();
        else if (ListSymbols.Has(sy))
            ParseNestedList(sy, listTerminators);
        else if (sy == symLi || sy == symDd || sy == symDt) {
            if (const TAttribute* value = Attributes().Find(symValue); sy == symLi && value && value->IntValue != 0)
                number = value->IntValue;
            ParseListItem({sy, symbol, number, type, plain}, listTerminators, previousInline);
            ++number;
        } else if (sy == symAddress || sy == symBlockquote)
            ParseBlockContainer(sy, listTerminators);
        else if (ListBlockContainers.Has(sy))
            ParseBlockContainer(sy, ItemEnds | listTerminators);
        else
            NextSymbol();
    }
    if (counts)
        --FListDepth;
    // 7. The end symbol is the caller's.
    CloseSection();
    CollapseLastBottomMargin(block);
    Pop(tag);
    FCell = owner;
}

void THtmlParser::ParseListItem(const TListItem& item, const TSymbolSet& terminators, TCellBasic*& previousInline)
{
    // 1.
    CloseSection();
    const TAttributeList& attributes = Attributes();
    const u16& tag = SymbolName(item.ItemSymbol);
    const TProperties& pushed = Push(tag, &attributes);
    // 2. Inline items one after the other share the first one's block.
    TCellBasic* owner = FCell;
    const bool isInline = pushed.DisplayOf() == DisplayCode::Inline;
    TBlock* block = nullptr;
    if (isInline && previousInline) {
        FCell = previousInline;
        NewSection(false, nullptr);
    } else {
        block = &OpenBlock<TBlockLI>(&attributes, FListDepth, item.Number, item.Type, item.Plain, item.ListSymbol);
        NewSection(true, nullptr);
    }
    previousInline = isInline ? FCell : nullptr;
    const TSection* first = FSection.get();
    // 3.
    SkipBlanks();
    NextSymbol();
    // 4.
    const bool inList = ListSymbols.Has(item.ListSymbol);
    for (;;) {
        const THtmlSymbol sy = Sy();
        if (sy == symP) {
            if (!inList)
                break;
            ParseParagraph({});
        } else if (sy == symEndP || sy == symUnknownTag)
            NextSymbol();
        else if (ListItemGroup.Has(sy))
            ParseInline();
        else if (ListSymbols.Has(sy))
            ParseNestedList(sy, terminators);
        else if (ItemBlockContainers.Has(sy))
            ParseBlockContainer(sy, terminators);
        else if (sy == symTable)
            ParseTable();
        else
            break;
    }
    // 5. An empty item still gets a line, and with it its marker.
    if (FSection && FSection.get() == first && FSection->Text.empty())
        FSection->AppendChar(0xA0, TagPosition());
    // 6.
    CloseSection();
    if (block)
        CollapseLastBottomMargin(*block);
    Pop(tag);
    FCell = owner;
}

} // namespace lantern
