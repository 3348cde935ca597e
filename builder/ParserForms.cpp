// Form controls in the text: INPUT, SELECT with its options, TEXTAREA with its content. The markup of each
// control is read to its end here, so the text after a control reaches the document wherever the control
// stands. Controls take their place in the text once the form control family exists; until then they are
// read and left out.
#include "builder/Parser.h"

namespace lantern {

namespace {

// Where an option list ends when its /SELECT is missing.
constexpr TSymbolSet OptionListEnds = {
    symP, symEndOfFile, symEndTable, symTd, symEndTd, symTr, symEndTr, symTh, symEndTh, symCaption, symEndCaption,
    symInput, symEndSelect, symCol, symColgroup, symThead, symTbody, symTfoot, symEndThead, symEndTbody,
    symEndTfoot};

} // namespace

void THtmlParser::ParseFormControl(bool readNext)
{
    switch (Sy()) {
    case symSelect: SkipOptions(); return;
    case symTextarea: SkipTextareaContent(); break;
    default: break;
    }
    if (readNext)
        NextSymbol();
}

// Leaves the symbol that ended the list current.
void THtmlParser::SkipOptions()
{
    NextSymbol();
    while (!OptionListEnds.Has(Sy()))
        NextSymbol();
}

// Leaves the character after the end tag current.
void THtmlParser::SkipTextareaContent()
{
    do
        ReadTextAreaSymbol();
    while (Sy() != symEndTextarea && Sy() != symEndOfFile);
    while (LCh() != u'>' && LCh() != 0)
        AdvanceChar();
    if (LCh() == u'>')
        AdvanceChar();
}

} // namespace lantern
