// Inline content: phrase elements and fonts, text, links and anchors, line breaks, rules and page breaks.
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/ImageObj.h"
#include "layout/TextSection.h"
#include "style/ColorParser.h"
#include "style/FontInfo.h"
#include "style/Lengths.h"
#include "style/Properties.h"

#include <algorithm>

namespace lantern {

void THtmlParser::ParseInline()
{
    const THtmlSymbol sy = Sy();
    if (PhraseSymbols.Has(sy) || SizedPhraseSymbols.Has(sy)) {
        if (SizedPhraseSymbols.Has(sy))
            EnsureSection();
        const TAttributeList& attributes = Attributes();
        PushInline(SymbolName(sy), &attributes);
        ChangeFont();
        NextSymbol();
        return;
    }
    if (PhraseEndSymbols.Has(sy)) {
        PopInline(SymbolName(sy));
        NextSymbol();
        return;
    }
    switch (sy) {
    case symBr: ParseLineBreak(); return;
    case symH: ParseHeading(); return;
    case symHr: ParseRule(); return;
    case symPre:
        if (Attributes().Find(symWrap)) {
            // Wrapped preformatted text flows like ordinary content, in the pre style.
            CloseSection();
            const TAttributeList& attributes = Attributes();
            Push(u"pre", &attributes);
            NextSymbol();
        } else
            ParsePre();
        return;
    case symEndPre:
        Pop(u"pre");
        NextSymbol();
        return;
    case symImg: case symPanel: ParseImage(); return;
    case symA: StartLink(); NextSymbol(); return;
    case symEndA: CloseLink(); NextSymbol(); return;
    case symText: AppendText(Token()); NextSymbol(); return;
    case symTable: ParseTable(); return;
    case symInput: case symSelect: case symTextarea: ParseFormControl(true); return;
    case symFont: case symBasefont:
        ParseFontAttributes(sy == symBasefont, false);
        ChangeFont();
        NextSymbol();
        return;
    case symEndFont:
        PopInline(u"font");
        NextSymbol();
        return;
    case symMap: ParseMap(); NextSymbol(); return;
    case symPage:
        CloseSection();
        FCell->AddSection(std::make_unique<TPage>(Doc), TagPosition());
        NextSymbol();
        return;
    case symScript: ParseScript(); NextSymbol(); return;
    case symNobr: case symEndNobr:
        SetNoBreak(sy == symNobr);
        NextSymbol();
        return;
    case symWbr:
        if (FSection && !FSection->BreakClasses.empty())
            FSection->BreakClasses.back() = BreakOpportunity;
        NextSymbol();
        return;
    case symObject: ParseObject(); NextSymbol(); return;
    default: NextSymbol(); return;
    }
}

void THtmlParser::AppendText(const TokenObj& token)
{
    if (FSection) {
        FSection->AppendToken(token);
        return;
    }
    if (token.Count() == 1 && token[0] == u' ')
        return;
    EnsureSection().AppendToken(token);
}

void THtmlParser::SetNoBreak(bool on)
{
    FNoBreak = on;
    Doc.NoBreak = on;
}

// ---------------------------------------------------------------------------------------------------------------
// Line breaks, rules and page breaks

void THtmlParser::ParseLineBreak()
{
    const TAttributeList& attributes = Attributes();
    if (attributes.Find(symClear)) {
        // The new section carries the clear value: the text after the break starts below the floats.
        CloseSection();
        NewSection(false, &attributes);
        AddPageBreaks(attributes);
    } else {
        if (!FSection)
            NewSection(false, &attributes);
        FSection->AppendChar(LineBreakMark, TagPosition());
        CloseSection();
        AddPageBreaks(attributes);
        NewSection(false, &attributes);
    }
    NextSymbol();
}

// A break with page-break-before or -after set in its style ends a printed page there.
void THtmlParser::AddPageBreaks(const TAttributeList& attributes)
{
    bool before = false, after = false, inside = false;
    Push(u"br", &attributes).PageBreaksOf(before, after, inside);
    Pop(u"br");
    if (!before && !after)
        return;
    const bool hadSection = FSection != nullptr;
    CloseSection();
    FCell->AddSection(std::make_unique<TPage>(Doc), TagPosition());
    if (hadSection)
        NewSection(false, &attributes);
}

void THtmlParser::ParseRule()
{
    CloseSection();
    const TAttributeList& attributes = Attributes();
    TProperties& props = Push(u"hr", &attributes);
    auto rule = std::make_unique<THorzLine>(Doc, props, &attributes);
    auto block = std::make_unique<THRBlock>(Doc, &attributes, *FCell, props);
    block->TakeRule(std::move(rule), TagPosition());
    FCell->AddSection(std::move(block), TagPosition());
    Pop(u"hr");
    NextSymbol();
}

// ---------------------------------------------------------------------------------------------------------------
// Links and anchors

void THtmlParser::StartLink()
{
    const TAttributeList& attributes = Attributes();
    const TAttribute* href = attributes.Find(symHref);
    // 1.
    if (href) {
        if (FLinkOpen)
            CloseLink();
        FLinkOpen = true;
        const TAttribute* target = attributes.Find(symTarget);
        FLinkTarget.SetLink(href->Value, target ? u16v(target->Value) : u16v(), Doc.PropStack.SourcePos,
                            &attributes);
        if (const TAttribute* tabIndex = attributes.Find(symTabindex))
            FLinkTarget.TabIndex = tabIndex->IntValue;
    }
    // 2. A link's own font run starts at 4.; only an anchor without one changes the font here.
    PushInline(u"a", &attributes, href ? u"link" : u"");
    if (!FSection)
        NewSection(FCell && FCell->Empty(), nullptr);
    else if (!href)
        ChangeFont();
    // 3.
    if (const TAttribute* name = attributes.Find(symName)) {
        u16 anchor = UpperAscii(name->Value);
        if (!anchor.empty() && anchor.front() == u'#')
            anchor.erase(0, 1);
        Doc.AddCharAnchor(anchor, Doc.PropStack.SourcePos);
        FSection->HoldsAnchor = true;
    }
    // 4.
    if (href)
        FSection->SwitchFontForLink(true, Top(), FLinkTarget);
}

void THtmlParser::CloseLink()
{
    if (FLinkOpen) {
        FLinkTarget.MarkEnd(Doc.LinkList, Doc.PropStack.SourcePos);
        FLinkTarget.Clear();
        FLinkOpen = false;
    }
    Pop(u"a");
    if (FSection)
        FSection->SwitchFontForLink(false, Top(), FLinkTarget);
}

void THtmlParser::CloseOpenLink()
{
    if (FLinkOpen)
        CloseLink();
}

// ---------------------------------------------------------------------------------------------------------------
// Fonts

void THtmlParser::ParseFontAttributes(bool basefont, bool preformatted)
{
    const TAttributeList& attributes = Attributes();
    // 1.
    int size = 0;
    if (const TAttribute* a = attributes.Find(symSize)) {
        const bool relative = a->Value.size() > 1 && (a->Value[0] == u'+' || a->Value[0] == u'-');
        size = std::clamp(relative ? FBaseFontSize + a->IntValue : a->IntValue, 1, 7);
        if (basefont)
            FBaseFontSize = size;
    }
    // 2.
    Color color = 0;
    bool hasColor = false;
    if (const TAttribute* a = attributes.Find(symColor))
        hasColor = ParseColor(a->Value, false, color);
    u16 face;
    if (const TAttribute* a = attributes.Find(symFace); a && !basefont)
        face = ResolveFontFamily(a->Value);
    int charset = -1;
    if (const TAttribute* a = attributes.Find(symCharset))
        if (SwitchCharset(a->Value))
            charset = Top().Charset;
    // 3.
    TProperties& font = PushInline(u"font", &attributes);
    // 4.
    if (hasColor)
        font.SetFromAttribute(piColor, PropValue(color | PaletteRelativeFlag()));
    if (size > 0)
        font.SetFromAttribute(piFontSize,
                              PropValue((preformatted ? PreFontSizeSteps() : FontSizeSteps())[std::size_t(size)]));
    if (!face.empty())
        font.SetFromAttribute(piFontFamily, PropValue(face));
    if (charset >= 0)
        font.SetCharsetAndCodePage(charset, KeepCodePage);
}

// ---------------------------------------------------------------------------------------------------------------
// Pictures and panels

void THtmlParser::ParseImage()
{
    EnsureSection();
    PlaceImage();
    NextSymbol();
}

// The IMG or PANEL being read stands in the text at its tag, styled as its element. A picture that fails to
// load shows its alternative text in its box, so a link made of a picture stays one a reader can find and follow.
void THtmlParser::PlaceImage()
{
    const TAttributeList& attributes = Attributes();
    const THtmlSymbol sy = Sy();
    const u16& tag = SymbolName(sy);
    Push(tag, &attributes);
    std::unique_ptr<TFloatingObj> object;
    if (sy == symImg)
        object = std::make_unique<TImageObj>(Doc, attributes);
    else
        object = std::make_unique<TPanelObj>(Doc, attributes);
    object->SetFromProperties(Top());
    EnsureSection().PlaceObject(std::move(object), TagPosition());
    Pop(tag);
}

} // namespace lantern
