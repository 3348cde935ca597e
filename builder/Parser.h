// THtmlParser: the document builder. It reads the symbols of its tokenizer half and turns them into the section
// tree of a ThtDocument: it decides which element opens or closes which kind of section, closes the elements a
// page leaves open, keeps the document's property stack in step with the nesting so that every section is made
// with its element's computed style, and hands head elements, scripts and objects to their handlers.
//
// Recovery is structural: each handler reads symbols until one arrives that it does not accept, or that is in
// the terminators its callers handed down, and returns with that symbol current for the caller. Unmatched end
// tags and unknown tags are passed over.
//
// Ownership: the parser borrows the buffer and the document for one parse. The sections it makes belong to the
// document as soon as they are added to a cell; the section being filled is the parser's until then. The host's
// handlers are called during the parse only.
//
// The handlers are spread over files by concern: ParserBody.cpp (the entry points, the body loop, paragraphs,
// headings and block containers), ParserInline.cpp (phrase elements, fonts, links, line breaks and rules),
// ParserLists.cpp, ParserPre.cpp (preformatted and plain text), ParserHead.cpp (head elements, scripts, maps
// and objects), ParserTables.cpp and ParserForms.cpp.
#pragma once

#include "builder/SymbolSets.h"
#include "common/Str.h"
#include "layout/FontRuns.h"
#include "markup/Attributes.h"
#include "markup/Tokenizer.h"

#include <functional>
#include <memory>
#include <vector>

namespace lantern {

class TBlock;
class TBuffer;
class TCellBasic;
class TProperties;
class TSection;
class ThtDocument;
class ThtmlForm;
class TOptionsFormControlObj;
class TTextAreaFormControlObj;

// What the viewer offers the builder; every handler may be empty.
struct TParserHost {
    std::function<void(const u16& rel, const u16& rev, const u16& href)> OnLink;
    std::function<void(const u16& httpEquiv, const u16& name, const u16& content)> HandleMeta;
    std::function<void(const u16& src, int loop, bool terminate)> OnSoundRequest;
    std::function<void(const u16& name, const u16& type, const u16& src, const u16& script)> OnScript;
    THtmlTokenizer::TIncludeHandler OnInclude;
    // A style sheet's bytes by the link's URL, asked before the file is looked for; none to use the file.
    std::function<std::unique_ptr<TBuffer>(const u16& href)> OnStreamRequest;
    // A link turned into a file name as the viewer resolves links; without it the name stays as written.
    std::function<u16(u16v name)> ExpandLinkName;
    // Parse progress in percent, 0 to ProgressBase.
    std::function<void(int percent)> OnProgress;
    int ProgressBase = 75;
    // The body margins a page gets when it sets none.
    int MarginWidth = 10;
    int MarginHeight = 5;
};

class THtmlParser : public THtmlTokenizer {
public:
    THtmlParser(TBuffer& buffer, ThtDocument& document, TParserHost host = {});
    ~THtmlParser() override;

    // Builds the document from HTML. A failure of the readers (a comment that never ends, a charset that
    // cannot be converted) ends the document where it happened, keeping what was built.
    void ParseHtml();
    // Builds the document from plain text, shown preformatted line by line.
    void ParseText();

    // Read after the parse.
    const u16& Title() const { return FTitle; }
    const u16& BaseUrl() const { return FBaseUrl; }
    const u16& BaseTarget() const { return FBaseTarget; }

    // More A tags with an HREF than this take no keyboard focus places.
    static constexpr int MaxFocusLinks = 400;

private:
    // --- ParserBody.cpp: entry points and the body
    void Initialise();
    void CountLinks();
    void Finish();
    void ParseBody(const TSymbolSet& terminators);
    void ParseBodyTag();
    void ApplyBodyAttributes(TProperties& body);
    void ParseParagraph(const TSymbolSet& terminators);
    void ParseHeading();
    void ParseBlockContainer(THtmlSymbol symbol, const TSymbolSet& terminators);
    void ParseCenter(const TSymbolSet& terminators);
    void ParseFieldset(const TSymbolSet& terminators);
    void ParseLegend(const TSymbolSet& terminators);
    void ParseForm(const TSymbolSet& terminators);
    void ParseDivision(THtmlSymbol symbol, const TSymbolSet& terminators);

    // --- ParserInline.cpp
    void ParseInline();
    void AppendText(const TokenObj& token);
    void ParseLineBreak();
    void AddPageBreaks(const TAttributeList& attributes);
    void ParseRule();
    void StartLink();
    void CloseLink();
    void CloseOpenLink();
    void ParseFontAttributes(bool basefont, bool preformatted);
    void PlaceImage();
    void ParseImage();
    void SetNoBreak(bool on);

    // --- ParserLists.cpp
    void ParseList(THtmlSymbol symbol, const TSymbolSet& terminators);
    struct TListItem {
        THtmlSymbol ItemSymbol;
        THtmlSymbol ListSymbol; // symUnknownTag for an item outside any list
        int Number;
        char16_t Type;
        bool Plain;
    };
    // previousInline: the content cell of the list's previous item when it was displayed inline; updated.
    void ParseListItem(const TListItem& item, const TSymbolSet& terminators, TCellBasic*& previousInline);
    void ParseNestedList(THtmlSymbol symbol, const TSymbolSet& terminators);

    // --- ParserPre.cpp
    void ParsePre();
    struct TPreState;
    void ReadPreText(TPreState& pre);
    bool ReadPreTag(TPreState& pre);
    void StartPreInner(TPreState& pre, u16v tag, bool& open);
    void EndPreInner(TPreState& pre, u16v tag, bool& open);
    void NewPreLine(TPreState& pre);
    void OpenPreLine(bool firstInBlock);
    void AddPreChar(TokenObj& token, char16_t c, int sourcePos);
    void ClosePreLine(TPreState& pre);
    void FlushPreLine(TPreState& pre);
    void DropEmptyEdgeLines(TCellBasic& cell);

    // --- ParserHead.cpp
    void ParseTitle();
    void ParseBase();
    void ParseMeta();
    bool SwitchCharset(u16v name);
    // Reads the current character again from its source position (the decoding or the tab rule changed).
    void RereadCurrentChar();
    void ParseLink();
    void LoadLinkedStyleSheet(const u16& href);
    void ParseStyleElement();
    void ParseScript();
    void ParseBackgroundSound();
    void ParseMap();
    void ParseObject();

    // --- ParserTables.cpp
    void ParseTable();
    struct TTableState;
    void ReadTableContent(TTableState& table);
    void AssembleTable(TTableState& table, int tableDepth);
    void StartTableRow(TTableState& table);
    void StartRowGroup(TTableState& table);
    void StartTableCell(TTableState& table);
    void ApplyCellBorderDefaults(const TTableState& table, TProperties& cell);
    void FinishTableCell(TTableState& table);
    void FinishTableRow(TTableState& table);
    void ParseCaption(TTableState& table);
    void ParseColumnSpecs(TTableState& table);
    void ParseOutsideCells(TTableState& table);

    // --- ParserForms.cpp
    // readNext: read the symbol after the control (not inside preformatted text, which reads characters).
    void ParseFormControl(bool readNext);
    void ReadOptions(TOptionsFormControlObj& control);
    void ReadTextareaContent(TTextAreaFormControlObj& control);
    // A FORM's form becomes the current one, which the next controls join.
    void StartForm(const TAttributeList& attributes);

    // --- common steps (ParserBody.cpp)
    TProperties& Top() const;
    // Pushes the element with the class, style, title and id of `attributes` (none: only the tag).
    TProperties& Push(u16v tag, const TAttributeList* attributes, u16v pseudo = {});
    // An inline element: its own background colour becomes its inline background, and a border opens its
    // inline border record.
    TProperties& PushInline(u16v tag, const TAttributeList* attributes, u16v pseudo = {});
    void Pop(u16v tag);
    // The end of an inline element: a new font run only when an element was open to be closed.
    void PopInline(u16v tag);
    void PopTo(int depth);
    void ChangeFont();
    void CloseSection();
    void NewSection(bool firstInBlock, const TAttributeList* attributes);
    // A section for content met with none open: first in its block when the cell has no section yet.
    TSection& EnsureSection();
    void ApplyAlign(const TAttributeList& attributes);
    // Adds a block made for the current cell and makes its content the current cell.
    template <class Block, class... Args>
    Block& OpenBlock(Args&&... args)
    {
        auto block = std::make_unique<Block>(Doc, std::forward<Args>(args)..., *FCell, Top());
        Block& opened = *block;
        AdoptBlock(std::move(block), opened.Content);
        return opened;
    }
    void AdoptBlock(std::unique_ptr<TBlock> block, TCellBasic& content);
    // The paragraph gap below the cell's last block moves into `block`, the element that ends there.
    void CollapseLastBottomMargin(TBlock& block);
    void SkipToSymbol(THtmlSymbol symbol);

    ThtDocument& Doc;
    TParserHost Host;
    bool Quirks = false;
    TCellBasic* FCell = nullptr;       // receives new sections; none between table cells
    std::unique_ptr<TSection> FSection; // the text section being filled
    TBlock* FBodyBlock = nullptr;
    TUrlTarget FLinkTarget;
    bool FLinkOpen = false;
    int FTableDepth = 0;
    int FListDepth = 0;
    int FBaseFontSize = 3;
    bool FNoBreak = false;
    int FPreColumn = 0; // characters on the preformatted line so far, for its tab stops
    ThtmlForm* FForm = nullptr; // the open FORM's; none outside one
    u16 FTitle;
    u16 FBaseUrl;
    u16 FBaseTarget;
};

} // namespace lantern
