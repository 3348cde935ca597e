// The builder's entry points, the body loop, paragraphs, headings and the block containers, and the steps every
// handler shares.
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Borders.h"
#include "layout/Document.h"
#include "layout/TextSection.h"
#include "markup/Buffer.h"
#include "style/ColorParser.h"
#include "style/CssParser.h"
#include "style/Properties.h"
#include "style/StyleList.h"

#include <algorithm>
#include <span>

namespace lantern {

THtmlParser::THtmlParser(TBuffer& buffer, ThtDocument& document, TParserHost host)
    : THtmlTokenizer(buffer), Doc(document), Host(std::move(host))
{
    OnInclude = Host.OnInclude;
    OnProgress = Host.OnProgress;
    ProgressBase = Host.ProgressBase;
    CodePageInForce = [this] { return Top().CodePage; };
    OnRegisterId = [this](const u16& id, int sourcePos) { Doc.AddCharAnchor(id, sourcePos); };
    ShareSourcePos(Doc.PropStack.SourcePos);
}

THtmlParser::~THtmlParser() = default;

// ---------------------------------------------------------------------------------------------------------------
// Entry points

void THtmlParser::ParseHtml()
{
    // 1.-2.
    Initialise();
    CountLinks();
    // 3. The readers' failures end the document where they happened; what was built stays.
    try {
        AdvanceChar();
        NextSymbol();
        ParseBody({});
    } catch (const std::exception&) {
    }
    // 4.
    Finish();
}

void THtmlParser::Initialise()
{
    FCell = &Doc;
    Quirks = Doc.Quirks;
    THtmlPropStack& stack = Doc.PropStack;
    stack.Clear();
    stack.Quirks = Quirks;
    auto root = std::make_unique<TProperties>(&stack, Quirks);
    if (Doc.Styles->DefProp)
        root->CopyAsDefault(*Doc.Styles->DefProp);
    stack.Add(std::move(root));
    Doc.PropStack.SourcePos = -1;
    FBodyBlock = &OpenBlock<TBodyBlock>(nullptr);
    FLinkTarget.Clear();
    FLinkOpen = false;
    FBaseFontSize = 3;
    FBaseUrl.clear();
    FBaseTarget.clear();
    FTitle.clear();
    NewSection(true, nullptr);
    RawMode = false;
    SetNoBreak(false);
    InComment = false;
    FListDepth = 0;
    FTableDepth = 0;
    ParseOnly = false;
}

namespace {

// An upper bound of the A tags in a page whose markup is ASCII: every "<a" followed by a blank, "/" or ">".
int CountLinkTagsAtMost(std::span<const std::uint8_t> bytes)
{
    int count = 0;
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i)
        if (bytes[i] == '<' && (bytes[i + 1] | 0x20) == 'a') {
            const std::uint8_t next = bytes[i + 2];
            count += next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '>' || next == '/';
        }
    return count;
}

} // namespace

// Pages with very many links get no keyboard focus place per link: the pre-pass counts them before any section
// exists. It reads the page again from its start, so it leaves the tokenizer as it found it.
void THtmlParser::CountLinks()
{
    // A page with few enough A tags in its bytes needs no reading: the count cannot exceed the limit. Not for
    // pages in UTF-16, whose bytes hide the tags, nor with includes, which add text and are asked for twice.
    const int codePage = Buffer().CodePage();
    if (!OnInclude && codePage != PseudoCpUtf16Le && codePage != PseudoCpUtf16Be &&
        CountLinkTagsAtMost(Buffer().Bytes()) <= MaxFocusLinks) {
        Doc.TooManyLinks = false;
        return;
    }
    const TBuffer::TReadState start = Buffer().SaveState();
    auto handlers = std::make_tuple(Host.OnSoundRequest, Host.HandleMeta, Host.OnLink);
    Host.OnSoundRequest = nullptr;
    Host.HandleMeta = nullptr;
    Host.OnLink = nullptr;
    ParseOnly = true;
    int links = 0;
    try {
        AdvanceChar();
        for (NextSymbol(); Sy() != symEndOfFile && links <= MaxFocusLinks; NextSymbol())
            if (Sy() == symA && Attributes().Find(symHref))
                ++links;
    } catch (...) {
        // The count so far decides: the main pass meets the same failure and ends there.
    }
    Doc.TooManyLinks = links > MaxFocusLinks;
    Restart(start);
    ParseOnly = false;
    std::tie(Host.OnSoundRequest, Host.HandleMeta, Host.OnLink) = handlers;
}

void THtmlParser::Finish()
{
    CloseSection();
    Doc.PropStack.Clear();
    FLinkTarget.Clear();
    FLinkOpen = false;
    SetNoBreak(false);
}

// ---------------------------------------------------------------------------------------------------------------
// Common steps

TProperties& THtmlParser::Top() const { return Doc.PropStack.TopProperties(); }

TProperties& THtmlParser::Push(u16v tag, const TAttributeList* attributes, u16v pseudo)
{
    if (!attributes)
        return Doc.PropStack.PushElement(tag, {}, nullptr, {}, pseudo, {});
    return Doc.PropStack.PushElement(tag, attributes->GetClass(), GetStyle(*attributes), attributes->GetTitle(),
                                     pseudo, attributes->GetId());
}

TProperties& THtmlParser::PushInline(u16v tag, const TAttributeList* attributes, u16v pseudo)
{
    TProperties& pushed = Push(tag, attributes, pseudo);
    pushed.TakeInlineBackground();
    if (pushed.HasAnyBorderStyle())
        OpenInlineBorder(Doc, Doc.PropStack.SourcePos, pushed);
    return pushed;
}

void THtmlParser::Pop(u16v tag) { Doc.PropStack.PopElement(tag); }

void THtmlParser::PopInline(u16v tag)
{
    const int depth = Doc.PropStack.Count();
    Pop(tag);
    if (Doc.PropStack.Count() != depth)
        ChangeFont();
}

void THtmlParser::PopTo(int depth)
{
    while (Doc.PropStack.Count() > std::max(depth, 1))
        Doc.PropStack.PopLast();
}

void THtmlParser::ChangeFont()
{
    if (FSection)
        FSection->SwitchFont(Top());
}

void THtmlParser::CloseSection()
{
    if (!FSection)
        return;
    if (FCell)
        FCell->AddSection(std::move(FSection), TagPosition());
    else
        FSection->Unlink();
    FSection.reset();
}

void THtmlParser::NewSection(bool firstInBlock, const TAttributeList* attributes)
{
    CloseSection();
    FSection = std::make_unique<TSection>(Doc, firstInBlock, &FLinkTarget, Top(), attributes);
}

TSection& THtmlParser::EnsureSection()
{
    if (!FSection)
        NewSection(FCell && FCell->Empty(), nullptr);
    return *FSection;
}

void THtmlParser::ApplyAlign(const TAttributeList& attributes)
{
    const TAttribute* align = attributes.Find(symAlign);
    if (!align)
        return;
    u16 value = LowerAscii(align->Value);
    if (value == u"middle")
        value = u"center";
    if (value == u"left" || value == u"center" || value == u"right" || value == u"justify")
        Top().SetFromAttribute(piTextAlign, PropValue(value));
}

void THtmlParser::AdoptBlock(std::unique_ptr<TBlock> block, TCellBasic& content)
{
    FCell->AddSection(std::move(block), TagPosition());
    FCell = &content;
}

void THtmlParser::CollapseLastBottomMargin(TBlock& block)
{
    if (DropTrailingGap(block.Content))
        block.TakeParagraphGap();
}

void THtmlParser::SkipToSymbol(THtmlSymbol symbol)
{
    while (Sy() != symbol && Sy() != symEndOfFile)
        NextSymbol();
}

// ---------------------------------------------------------------------------------------------------------------
// The body loop

void THtmlParser::ParseBody(const TSymbolSet& terminators)
{
    while (Sy() != symEndOfFile) {
        const THtmlSymbol sy = Sy();
        if (terminators.Has(sy))
            return;
        if (FlowGroup.Has(sy)) {
            ParseInline();
            continue;
        }
        switch (sy) {
        case symTitle: ParseTitle(); break;
        case symBody: ParseBodyTag(); break;
        case symP: ParseParagraph(terminators); break;
        case symBase: ParseBase(); break;
        case symOl: case symUl: case symDir: case symMenu: case symDl: ParseNestedList(sy, terminators); break;
        case symLi: case symDd: case symDt: {
            const TListItem item{sy, sy == symLi ? symUnknownTag : symDl, 1, u'1', false};
            TCellBasic* previousInline = nullptr;
            ParseListItem(item, terminators, previousInline);
            break;
        }
        case symAddress: case symBlockquote: case symCenter: case symFieldset: case symLegend: case symForm:
        case symDiv: case symHeader: case symNav: case symArticle: case symAside: case symFooter: case symHgroup:
            ParseBlockContainer(sy, terminators);
            break;
        case symLink: ParseLink(); break;
        case symEndForm:
            FForm = nullptr;
            NextSymbol();
            break;
        case symBgsound: ParseBackgroundSound(); break;
        case symMeta: ParseMeta(); break;
        case symStyle: ParseStyleElement(); break;
        default: NextSymbol(); break;
        }
    }
}

// BODY counts only before anything was added to the body: a second BODY, or one met inside a table, is
// passed over.
void THtmlParser::ParseBodyTag()
{
    const bool bodyEmpty = FCell == &FBodyBlock->Content && FBodyBlock->Content.Empty();
    if (!bodyEmpty || FTableDepth > 0) {
        NextSymbol();
        return;
    }
    // 1. Text met before BODY is kept: it moves into the new body below.
    std::unique_ptr<TSection> before = std::move(FSection);
    if (before && before->Text.find_first_not_of(u' ') == u16::npos) {
        before->Unlink();
        before.reset();
    }
    // 2.-4.
    const TAttributeList& attributes = Attributes();
    TProperties& body = Push(u"body", &attributes);
    ApplyBodyAttributes(body);
    // 5.
    FCell = &Doc;
    auto& sections = Doc.Sections;
    sections.erase(std::find_if(sections.begin(), sections.end(),
                                [this](const auto& s) { return s.get() == FBodyBlock; }));
    FBodyBlock = &OpenBlock<TBodyBlock>(&attributes);
    if (before)
        FCell->AddSection(std::move(before), TagPosition());
    NewSection(true, nullptr);
    NextSymbol();
}

void THtmlParser::ApplyBodyAttributes(TProperties& body)
{
    const Color palette = PaletteRelativeFlag();
    auto colorOf = [](const TAttribute& a, Color& c) { return ParseColor(a.Value, false, c); };
    int marginWidth = Host.MarginWidth;
    int marginHeight = Host.MarginHeight;
    for (std::size_t i = 0; i < Attributes().Count(); ++i) {
        const TAttribute& a = Attributes()[i];
        Color c = 0;
        switch (a.Symbol) {
        case symText:
            if (colorOf(a, c))
                body.SetFromAttribute(piColor, PropValue(c | palette));
            break;
        case symLink:
            if (colorOf(a, c))
                Doc.Styles->SetLinkStateColor(u"link", c);
            break;
        case symVlink:
            if (colorOf(a, c))
                Doc.Styles->SetLinkStateColor(u"visited", c);
            break;
        case symOlink:
            if (colorOf(a, c)) {
                Doc.Styles->SetLinkStateColor(u"hover", c);
                Doc.LinksReactToHover = true;
            }
            break;
        case symBgcolor:
            if (colorOf(a, c))
                body.SetFromAttribute(piBackgroundColor, PropValue(c | palette));
            break;
        case symBackground:
            body.SetFromAttribute(piBackgroundImage, PropValue(u"url(" + a.Value + u")"));
            break;
        case symMarginwidth: case symLeftmargin: marginWidth = std::clamp(a.IntValue, 0, 200); break;
        case symMarginheight: case symTopmargin: marginHeight = std::clamp(a.IntValue, 0, 200); break;
        case symBgproperties:
            if (SameTextAscii(a.Value, u"fixed"))
                body.SetFromAttribute(piBackgroundAttachment, PropValue(u"fixed"));
            break;
        default: break;
        }
    }
    if (Quirks)
        Doc.Styles->CopyBodyToTables(body);
    body.SetFromAttribute(piMarginLeft, PropValue(marginWidth));
    body.SetFromAttribute(piMarginRight, PropValue(marginWidth));
    body.SetFromAttribute(piMarginTop, PropValue(marginHeight));
    body.SetFromAttribute(piMarginBottom, PropValue(marginHeight));
}

// ---------------------------------------------------------------------------------------------------------------
// Paragraphs and headings

void THtmlParser::ParseParagraph(const TSymbolSet& terminators)
{
    // 1.
    if (terminators.Has(symP))
        return;
    // 2.-3. Runs of empty paragraphs collapse into one; the last P's attributes count.
    CloseSection();
    SkipBlanks();
    TAttributeList attributes = Attributes();
    NextSymbol();
    while (Sy() == symP || Sy() == symEndP) {
        if (Sy() == symP)
            attributes = Attributes();
        SkipBlanks();
        NextSymbol();
    }
    // 4.-5. The block takes the paragraph's own attributes, so its id names the paragraph.
    Push(u"p", &attributes);
    ApplyAlign(attributes);
    TCellBasic* owner = FCell;
    TBlock& block = OpenBlock<TBlock>(&attributes);
    // 6. Anything outside the paragraph group is an implied end.
    while (!terminators.Has(Sy()) && ParagraphGroup.Has(Sy())) {
        if (Sy() == symUnknownTag)
            NextSymbol();
        else
            ParseInline();
    }
    // 7.
    if (Sy() == symTable)
        block.BoxCells[std::size_t(BoxSlot(piMarginBottom))] = PropValue(0);
    // 8.
    CloseSection();
    Pop(u"p");
    FCell = owner;
    if (Sy() == symEndP)
        NextSymbol();
}

void THtmlParser::ParseHeading()
{
    // 1.
    const int level = HeadingLevel();
    if (level < 1 || level > 6) {
        NextSymbol();
        return;
    }
    // 2.
    CloseSection();
    const TAttributeList attributes = Attributes();
    const char16_t tag[] = {u'h', char16_t(u'0' + level), 0};
    Push(tag, &attributes);
    ApplyAlign(attributes);
    SkipBlanks();
    NextSymbol();
    if (Sy() == symCenter) {
        Top().Props[piTextAlign] = PropValue(u"center");
        NextSymbol();
    }
    // 3. The heading's id names its block.
    TCellBasic* owner = FCell;
    OpenBlock<TBlock>(&attributes);
    NewSection(true, nullptr);
    // 4.
    for (;;) {
        const THtmlSymbol sy = Sy();
        if (sy == symP)
            ParseParagraph({});
        else if (HeadingGroup.Has(sy))
            ParseInline();
        else if (sy == symUnknownTag)
            NextSymbol();
        else if (SectioningSymbols.Has(sy))
            ParseBlockContainer(sy, {symEndH});
        else
            break;
    }
    // 5.
    CloseSection();
    Pop(tag);
    FCell = owner;
    if (Sy() == symEndH)
        NextSymbol();
}

// ---------------------------------------------------------------------------------------------------------------
// Block containers

void THtmlParser::ParseBlockContainer(THtmlSymbol symbol, const TSymbolSet& terminators)
{
    switch (symbol) {
    case symAddress:
    case symBlockquote: {
        const THtmlSymbol end = EndSymbolOf(symbol);
        CloseSection();
        ParseList(symbol, terminators | TSymbolSet{end});
        if (Sy() == end)
            NextSymbol();
        break;
    }
    case symCenter: ParseCenter(terminators); break;
    case symFieldset: ParseFieldset(terminators); break;
    case symLegend: ParseLegend(terminators); break;
    case symForm: ParseForm(terminators); break;
    default: ParseDivision(symbol, terminators); break;
    }
}

void THtmlParser::ParseCenter(const TSymbolSet& terminators)
{
    CloseSection();
    Push(u"center", nullptr);
    NextSymbol();
    ParseBody(terminators | TSymbolSet{symEndCenter});
    CloseSection();
    Pop(u"center");
    if (Sy() == symEndCenter)
        NextSymbol();
}

void THtmlParser::ParseFieldset(const TSymbolSet& terminators)
{
    CloseSection();
    const TAttributeList& attributes = Attributes();
    Push(u"fieldset", &attributes);
    ApplyAlign(attributes);
    TCellBasic* owner = FCell;
    TFieldsetBlock& fieldset = OpenBlock<TFieldsetBlock>(&attributes);
    NewSection(true, nullptr);
    NextSymbol();
    ParseBody(terminators | TSymbolSet{symEndFieldset});
    CloseSection();
    Pop(u"fieldset");
    CollapseLastBottomMargin(fieldset);
    FCell = owner;
    NewSection(false, nullptr);
    if (Sy() == symEndFieldset)
        NextSymbol();
}

void THtmlParser::ParseLegend(const TSymbolSet& terminators)
{
    CloseSection();
    const TAttributeList& attributes = Attributes();
    Push(u"legend", &attributes);
    ApplyAlign(attributes);
    TCellBasic* content = FCell;
    auto* fieldset = dynamic_cast<TFieldsetBlock*>(FCell ? FCell->EnclosingBlock : nullptr);
    if (fieldset)
        FCell = &fieldset->Legend;
    NewSection(true, nullptr);
    NextSymbol();
    ParseBody(terminators | TSymbolSet{symEndLegend});
    CloseSection();
    Pop(u"legend");
    FCell = content;
    NewSection(false, nullptr);
    if (Sy() == symEndLegend)
        NextSymbol();
}

void THtmlParser::ParseForm(const TSymbolSet& terminators)
{
    while (Sy() == symForm) {
        CloseSection();
        const TAttributeList& attributes = Attributes();
        Push(u"form", &attributes);
        TCellBasic* owner = FCell;
        TBlock& block = OpenBlock<TBlock>(&attributes);
        StartForm(attributes);
        NextSymbol();
        ParseBody(terminators | TSymbolSet{symForm, symEndForm});
        CloseSection();
        Pop(u"form");
        CollapseLastBottomMargin(block);
        FCell = owner;
        if (Sy() == symEndForm) {
            FForm = nullptr;
            NextSymbol();
        }
    }
}

void THtmlParser::ParseDivision(THtmlSymbol symbol, const TSymbolSet& terminators)
{
    const THtmlSymbol end = EndSymbolOf(symbol);
    const u16& tag = SymbolName(symbol);
    CloseSection();
    const TAttributeList& attributes = Attributes();
    TProperties& pushed = Push(tag, &attributes);
    ApplyAlign(attributes);
    const bool isInline = pushed.DisplayOf() == DisplayCode::Inline;
    TCellBasic* owner = FCell;
    TBlock* block = isInline ? nullptr : &OpenBlock<TBlock>(&attributes);
    NewSection(!isInline, nullptr);
    NextSymbol();
    ParseBody(terminators | TSymbolSet{end});
    CloseSection();
    Pop(tag);
    if (block) {
        CollapseLastBottomMargin(*block);
        FCell = owner;
    }
    if (Sy() == end)
        NextSymbol();
}

} // namespace lantern
