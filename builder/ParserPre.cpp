// Preformatted text: PRE read character by character, so that white space stays as written and every source
// line becomes a section of its own; and plain-text documents, which are one long PRE.
#include "builder/Parser.h"

#include "layout/Block.h"
#include "layout/Document.h"
#include "layout/TextSection.h"
#include "style/Properties.h"

#include <algorithm>

namespace lantern {

struct THtmlParser::TPreState {
    TCellBasic* PreCell = nullptr; // the content of the PRE block
    int Depth = 0;                 // the stack depth with "pre" pushed: a /FONT never pops below it
    TokenObj Token;                // the characters of the line so far
    bool InParagraph = false;
    bool InForm = false;
};

namespace {

constexpr int TabStop = 8;

// Tabs stay tabs while preformatted text is read, so that they can move to the next tab stop.
class TKeepTabs {
public:
    explicit TKeepTabs(THtmlTokenizer& tokenizer) : FTokenizer(tokenizer), FWas(tokenizer.KeepTabs)
    {
        tokenizer.KeepTabs = true;
    }
    ~TKeepTabs() { FTokenizer.KeepTabs = FWas; }
    TKeepTabs(const TKeepTabs&) = delete;
    TKeepTabs& operator=(const TKeepTabs&) = delete;

private:
    THtmlTokenizer& FTokenizer;
    bool FWas;
};

} // namespace

void THtmlParser::ParsePre()
{
    // 1.
    CloseSection();
    const int outerDepth = Doc.PropStack.Count();
    const TAttributeList& attributes = Attributes();
    Push(u"pre", &attributes);
    TPreState pre;
    pre.Depth = Doc.PropStack.Count();
    TCellBasic* owner = FCell;
    OpenBlock<TBlock>(&attributes);
    pre.PreCell = FCell;
    OpenPreLine(true);
    // 2. A tab right after the tag was read before tabs were kept: it is read again.
    {
        const TKeepTabs tabs(*this);
        if (LCh() == u' ')
            RereadCurrentChar();
        for (;;) {
            const char16_t c = LCh();
            if (c == 0)
                break;
            if (c == CharCR) {
                FlushPreLine(pre);
                NewPreLine(pre);
                AdvanceChar();
            } else if (c <= 8) {
                AdvanceChar();
            } else if (c != u'<') {
                ReadPreText(pre);
            } else if (!ReadPreTag(pre)) {
                break;
            }
        }
    }
    // 3.
    if (pre.InForm)
        EndPreInner(pre, u"form", pre.InForm);
    else
        FlushPreLine(pre);
    CloseSection();
    if (pre.InParagraph)
        EndPreInner(pre, u"p", pre.InParagraph);
    DropEmptyEdgeLines(*pre.PreCell);
    PopTo(outerDepth);
    FCell = owner;
    // At the end of the text the symbol is still the last tag read inside: the end of the text must reach the
    // caller as such, or the body loop would take that tag (the PRE itself, say) again.
    if (Sy() == symEndPre || LCh() == 0)
        NextSymbol();
}

// A run of text up to a line end, a tag or a control character, kept as written; references are decoded.
void THtmlParser::ReadPreText(TPreState& pre)
{
    const int codePage = Top().CodePage;
    for (char16_t c = LCh(); c > 8 && c != CharCR && c != u'<'; c = LCh()) {
        const int pos = SourcePos();
        if (c == u'&') {
            const u16 text = ReadEntity(codePage);
            pre.Token.AddString(text, pos);
            FPreColumn += int(text.size());
            continue;
        }
        AddPreChar(pre.Token, c, pos);
        AdvanceChar();
    }
}

// Returns false at a tag that ends the preformatted text.
bool THtmlParser::ReadPreTag(TPreState& pre)
{
    NextSymbol();
    const THtmlSymbol sy = Sy();
    auto skipLineEnd = [this] {
        if (LCh() == CharCR)
            AdvanceChar();
    };
    switch (sy) {
    case symP:
        if (pre.InParagraph)
            EndPreInner(pre, u"p", pre.InParagraph);
        else
            ClosePreLine(pre);
        skipLineEnd();
        StartPreInner(pre, u"p", pre.InParagraph);
        return true;
    case symEndP:
        if (pre.InParagraph) {
            EndPreInner(pre, u"p", pre.InParagraph);
            NewPreLine(pre);
        }
        return true;
    case symBr: {
        FlushPreLine(pre);
        const TAttributeList& attributes = Attributes();
        CloseSection();
        AddPageBreaks(attributes);
        NewPreLine(pre);
        skipLineEnd();
        return true;
    }
    case symImg:
    case symPanel:
        FlushPreLine(pre);
        PlaceImage();
        return true;
    case symA:
        FlushPreLine(pre);
        StartLink();
        return true;
    case symEndA:
        FlushPreLine(pre);
        CloseLink();
        return true;
    case symText:
        // A "<" that starts no tag.
        pre.Token.AddCollection(Token());
        FPreColumn += Token().Count();
        return true;
    case symInput: case symSelect: case symTextarea:
        FlushPreLine(pre);
        ParseFormControl(false);
        return true;
    case symForm:
        if (pre.InParagraph)
            EndPreInner(pre, u"p", pre.InParagraph);
        else if (pre.InForm)
            EndPreInner(pre, u"form", pre.InForm);
        else
            ClosePreLine(pre);
        StartForm(Attributes());
        StartPreInner(pre, u"form", pre.InForm);
        return true;
    case symEndForm:
        if (pre.InParagraph)
            EndPreInner(pre, u"p", pre.InParagraph);
        if (pre.InForm)
            EndPreInner(pre, u"form", pre.InForm);
        FForm = nullptr;
        if (!FSection)
            NewPreLine(pre);
        return true;
    case symFont: case symBasefont:
        FlushPreLine(pre);
        ParseFontAttributes(sy == symBasefont, true);
        ChangeFont();
        return true;
    case symEndFont:
        FlushPreLine(pre);
        if (Doc.PropStack.Count() > pre.Depth)
            PopInline(u"font");
        return true;
    case symMap:
        FlushPreLine(pre);
        ParseMap();
        return true;
    case symPage:
        FlushPreLine(pre);
        CloseSection();
        FCell->AddSection(std::make_unique<TPage>(Doc), TagPosition());
        NewPreLine(pre);
        return true;
    case symScript:
        FlushPreLine(pre);
        ParseScript();
        return true;
    case symObject:
        FlushPreLine(pre);
        ParseObject();
        skipLineEnd();
        return true;
    case symEndPre: case symTable: case symEndTd: case symEndTh: return false;
    default:
        if (PhraseSymbols.Has(sy) || SizedPhraseSymbols.Has(sy)) {
            FlushPreLine(pre);
            const TAttributeList& attributes = Attributes();
            PushInline(SymbolName(sy), &attributes);
            ChangeFont();
        } else if (PhraseEndSymbols.Has(sy)) {
            FlushPreLine(pre);
            PopInline(SymbolName(sy));
        }
        return true;
    }
}

void THtmlParser::FlushPreLine(TPreState& pre)
{
    if (!pre.Token.Empty()) {
        if (!FSection)
            NewPreLine(pre);
        FSection->AppendToken(pre.Token);
        pre.Token.Clear();
    }
}

// Ends the line in the text so far; a line left empty is dropped rather than kept as an empty line.
void THtmlParser::ClosePreLine(TPreState& pre)
{
    FlushPreLine(pre);
    if (FSection && FSection->Text.empty())
        FSection.reset();
    CloseSection();
}

void THtmlParser::NewPreLine(TPreState&) { OpenPreLine(false); }

void THtmlParser::OpenPreLine(bool firstInBlock)
{
    CloseSection();
    FSection = std::make_unique<TPreFormated>(Doc, firstInBlock, &FLinkTarget, Top(), nullptr);
    FPreColumn = 0;
}

// A tab moves to the next tab stop of the line, as spaces that all come from the tab.
void THtmlParser::AddPreChar(TokenObj& token, char16_t c, int sourcePos)
{
    if (c != CharTab) {
        token.AddChar(c, sourcePos);
        ++FPreColumn;
        return;
    }
    const int spaces = TabStop - FPreColumn % TabStop;
    token.AddString(u16(std::size_t(spaces), u' '), sourcePos);
    FPreColumn += spaces;
}

// A P or FORM inside PRE: a block of its own in the PRE block, with preformatted lines; `open` notes it.
void THtmlParser::StartPreInner(TPreState& pre, u16v tag, bool& open)
{
    const TAttributeList& attributes = Attributes();
    Push(tag, &attributes);
    FCell = pre.PreCell;
    OpenBlock<TBlock>(&attributes);
    OpenPreLine(true);
    open = true;
}

void THtmlParser::EndPreInner(TPreState& pre, u16v tag, bool& open)
{
    ClosePreLine(pre);
    Pop(tag);
    FCell = pre.PreCell;
    open = false;
}

// The line end right after <pre> and the one before </pre> make no line of their own.
void THtmlParser::DropEmptyEdgeLines(TCellBasic& cell)
{
    auto empty = [](const std::unique_ptr<TSectionBase>& s) {
        const auto* text = dynamic_cast<const TSection*>(s.get());
        return text && text->Text.empty() && !text->HoldsAnchor;
    };
    auto& sections = cell.Sections;
    if (!sections.empty() && empty(sections.back()))
        sections.pop_back();
    if (!sections.empty() && empty(sections.front()))
        sections.erase(sections.begin());
}

// ---------------------------------------------------------------------------------------------------------------
// Plain text

void THtmlParser::ParseText()
{
    Initialise();
    RawMode = true;
    const TKeepTabs tabs(*this);
    try {
        AdvanceChar();
        CloseSection();
        Push(u"pre", nullptr);
        TCellBasic* owner = FCell;
        OpenBlock<TBlock>(nullptr);
        OpenPreLine(true);
        TokenObj token;
        // Long lines go to the section in pieces, so the token stays small.
        constexpr int PieceLength = 200;
        for (char16_t c = LCh(); c != 0; c = LCh()) {
            if (c == CharCR) {
                FSection->AppendToken(token);
                token.Clear();
                OpenPreLine(false);
            } else {
                AddPreChar(token, c, SourcePos());
                if (token.Count() > PieceLength) {
                    FSection->AppendToken(token);
                    token.Clear();
                }
            }
            AdvanceChar();
        }
        FSection->AppendToken(token);
        CloseSection();
        Pop(u"pre");
        FCell = owner;
    } catch (const std::exception&) {
    }
    Finish();
}

} // namespace lantern
