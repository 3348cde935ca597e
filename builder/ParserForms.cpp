// Form controls in the text: INPUT, SELECT with its options, TEXTAREA with its content. Each control is made
// in the current form at its tag's place in the text, styled as its element; the markup inside a SELECT or a
// TEXTAREA is read to its end here, so the text after a control reaches the document wherever it stands.
#include "builder/Parser.h"

#include "layout/Document.h"
#include "layout/FormControls.h"
#include "layout/Forms.h"
#include "layout/TextSection.h"
#include "platform/Canvas.h"

namespace lantern {

namespace {

// Where an option list ends when its /SELECT is missing.
constexpr TSymbolSet OptionListEnds = {
    symP, symEndOfFile, symEndTable, symTd, symEndTd, symTr, symEndTr, symTh, symEndTh, symCaption, symEndCaption,
    symInput, symEndSelect, symCol, symColgroup, symThead, symTbody, symTfoot, symEndThead, symEndTbody,
    symEndTfoot};

} // namespace

void THtmlParser::StartForm(const TAttributeList& attributes)
{
    Doc.Forms.push_back(std::make_unique<ThtmlForm>(Doc, attributes));
    FForm = Doc.Forms.back().get();
}

void THtmlParser::ParseFormControl(bool readNext)
{
    const THtmlSymbol sy = Sy();
    // The options and the content read below replace the tag's attributes.
    const TAttributeList attributes = Attributes();
    const u16& tag = SymbolName(sy);
    Push(tag, &attributes);
    TFormControlObj& control = PlaceFormControl(EnsureSection(), sy, Doc, FForm, Top(), TagPosition(), attributes);
    if (sy == symSelect)
        ReadOptions(static_cast<TOptionsFormControlObj&>(control));
    else if (sy == symTextarea)
        ReadTextareaContent(static_cast<TTextAreaFormControlObj&>(control));
    control.ApplyStyle(Top());
    Pop(tag);
    // A /SELECT is the list's own end, not a tag the text around it must deal with.
    if (readNext && (sy != symSelect || Sy() == symEndSelect))
        NextSymbol();
}

// Leaves the symbol that ended the list current.
void THtmlParser::ReadOptions(TOptionsFormControlObj& control)
{
    // Option texts are measured for the control's width on the screen.
    platform::Canvas screen;
    const bool noBreak = Doc.NoBreak;
    Doc.NoBreak = false;
    bool open = false;
    bool selected = false;
    std::vector<u16> optionAttributes;
    u16 text;
    auto endOption = [&] {
        if (open)
            control.AddOption(text, selected, std::move(optionAttributes), screen);
        open = false;
        text.clear();
        optionAttributes.clear();
    };
    // 1.-2.
    NextSymbol();
    while (!OptionListEnds.Has(Sy())) {
        if (Sy() == symText && open) {
            text += Token().AsString();
        } else if (Sy() == symOption || Sy() == symEndOption) {
            endOption();
            if (Sy() == symOption) {
                open = true;
                selected = Attributes().Find(symSelected) != nullptr;
                optionAttributes = Attributes().ListAsNameValues();
            }
        }
        NextSymbol();
    }
    // 3.
    endOption();
    control.RestoreInitial();
    Doc.NoBreak = noBreak;
}

// Leaves the character after the end tag current.
void THtmlParser::ReadTextareaContent(TTextAreaFormControlObj& control)
{
    u16 line;
    for (;;) {
        ReadTextAreaSymbol();
        if (Sy() == symEndTextarea || Sy() == symEndOfFile)
            break;
        if (Sy() == symLineEnd) {
            control.InitialText += line + u"\r\n";
            line.clear();
        } else {
            line += Token().AsString();
        }
    }
    while (LCh() != u'>' && LCh() != 0)
        AdvanceChar();
    if (LCh() == u'>')
        AdvanceChar();
    control.InitialText += line;
    control.RestoreInitial();
}

} // namespace lantern
