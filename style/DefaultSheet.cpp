// The built-in default style sheet, made from the viewer's font, colour and margin settings.
#include "style/StyleList.h"

#include "style/ColorParser.h"
#include "style/Lengths.h"

#include <initializer_list>
#include <utility>

namespace lantern {

namespace {

using TCells = std::initializer_list<std::pair<int, PropValue>>;

void Put(TProperties& set, TCells cells)
{
    for (const auto& [index, value] : cells)
        set.Props[std::size_t(index)] = value;
}

PropValue Text(const char16_t* text) { return PropValue(text); }
PropValue Byte(int value) { return PropValue(std::uint8_t(value)); }

} // namespace

void TStyleList::BuildDefaultSheet(u16v defFontName, u16v preFontName, int marginWidth, int marginHeight,
                                   int charset, bool linkUnderline, Color hoverColor, Color visitedColor,
                                   Color linkColor, Color fontColor, double fontSize)
{
    Clear();
    SetDocumentDefaultFontSize(fontSize);
    const double S = fontSize;
    const Color palette = PaletteRelativeFlag();

    auto rule = [this](u16v key, TCells cells, bool quirks) -> TProperties& {
        auto set = std::make_unique<TProperties>(nullptr, quirks);
        Put(*set, cells);
        return AddObject(key, std::move(set));
    };
    auto add = [&](u16v key, TCells cells) -> TProperties& { return rule(key, cells, Quirks); };

    // 1. The root of every cascade.
    TProperties& def = add(u"default",
                           {{piFontFamily, PropValue(defFontName)},
                            {piFontSize, PropValue(S)},
                            {piFontStyle, Text(u"none")},
                            {piFontWeight, Text(u"normal")},
                            {piTextAlign, Text(u"left")},
                            {piTextDecoration, Text(u"none")},
                            {piTextTransform, Byte(0)},
                            {piWordWrap, Text(u"normal")},
                            {piFontVariant, Text(u"normal")},
                            {piColor, PropValue(fontColor)},
                            {piMarginTop, PropValue(marginHeight)},
                            {piMarginBottom, PropValue(marginHeight)},
                            {piMarginLeft, PropValue(marginWidth)},
                            {piMarginRight, PropValue(marginWidth)},
                            {piVisibility, Byte(VisibilityVisible)},
                            {piLetterSpacing, PropValue(0)},
                            {piBoxSizing, Byte(0)}});
    def.DefaultFaceName = u16(defFontName);
    def.SetCharset(charset);
    DefProp = &def;

    // 2. Quirks mode: tables start again from the default font and colour.
    if (Quirks) {
        TProperties& td = add(u"td", {{piFontSize, PropValue(S)},
                                      {piFontStyle, Text(u"none")},
                                      {piFontWeight, Text(u"normal")},
                                      {piColor, PropValue(fontColor)}});
        TProperties& table = AddCopy(u"table", td);
        AddCopy(u"th", table).Props[piFontWeight] = Text(u"bold");
    }

    // 3. to 6. The link states, and the empty rule.
    add(u"::link", {{piColor, PropValue(linkColor | palette)},
                    {piTextDecoration, Text(linkUnderline ? u"underline" : u"none")}});
    add(u"::visited", {{piColor, PropValue(visitedColor | palette)}});
    add(u"::hover", {{piColor, PropValue(hoverColor | palette)}});
    add(u"null", {});

    // 7. to 10. Preformatted text, paragraphs and lists.
    add(u"pre", {{piFontFamily, PropValue(preFontName)},
                 {piFontSize, PropValue(S * 10 / 12)},
                 {piFontStyle, Text(u"none")},
                 {piFontWeight, Text(u"normal")},
                 {piTextDecoration, Text(u"none")}});
    add(u"p", {{piMarginTop, PropValue(ParagraphGapMarker)}, {piMarginBottom, PropValue(ParagraphGapMarker)}});
    add(u"p 11pre", {{piMarginTop, PropValue(0)}}); // a p inside a pre gets no top gap
    for (u16v list : {u"ul", u"ol", u"menu", u"dir"})
        add(list, {{piListStyleType, Text(u"blank")},
                   {piMarginTop, PropValue(ParagraphGapMarker)},
                   {piMarginBottom, PropValue(ParagraphGapMarker)},
                   {piPaddingLeft, PropValue(UnsetLength)}});
    add(u"dl", {{piListStyleType, Text(u"none")},
                {piMarginLeft, PropValue(0)},
                {piMarginTop, PropValue(0)},
                {piMarginBottom, PropValue(0)},
                {piPaddingLeft, PropValue(0)}});
    add(u"dd", {{piMarginTop, PropValue(0)}, {piMarginBottom, PropValue(0)}, {piPaddingLeft, PropValue(40)}});
    add(u"blockquote", {{piMarginTop, PropValue(ParagraphGapMarker)},
                        {piMarginBottom, PropValue(14)},
                        {piPaddingLeft, PropValue(40)}});

    // 11. to 13. Code, bold, and the standards-mode table rules.
    TProperties& code = add(u"code", {{piFontFamily, PropValue(preFontName)}, {piFontSize, Text(u"0.83em")}});
    for (u16v tag : {u"tt", u"kbd", u"samp"})
        AddCopy(tag, code);
    TProperties& bold = add(u"b", {{piFontWeight, Text(u"bold")}});
    AddCopy(u"strong", bold);
    if (!Quirks) {
        AddCopy(u"th", bold);
        rule(u"table", {{piTextAlign, Text(u"none")}}, false);
    }

    // 14. to 17. Sizes, styles and alignment of phrase elements.
    add(u"sup", {{piFontSize, Text(u"0.83em")}, {piVerticalAlign, Text(u"super")}});
    add(u"sub", {{piFontSize, Text(u"0.83em")}, {piVerticalAlign, Text(u"sub")}});
    add(u"big", {{piFontSize, Text(u"1.17em")}});
    add(u"small", {{piFontSize, Text(u"0.83em")}});
    TProperties& italic = add(u"i", {{piFontStyle, Text(u"italic")}});
    for (u16v tag : {u"em", u"cite", u"var", u"address"})
        AddCopy(tag, italic);
    add(u"u", {{piTextDecoration, Text(u"underline")}});
    AddCopy(u"strike", add(u"s", {{piTextDecoration, Text(u"line-through")}}));
    AddCopy(u"caption", add(u"center", {{piTextAlign, Text(u"center")}}));

    // 18. Form controls; the text area writes in the preformatted face.
    TProperties& input = add(u"input", {{piFontFamily, Text(u"Arial Unicode MS, Arial")},
                                        {piFontSize, Text(u"10pt")},
                                        {piFontStyle, Text(u"none")},
                                        {piFontWeight, Text(u"normal")},
                                        {piTextAlign, Text(u"left")},
                                        {piTextDecoration, Text(u"none")},
                                        {piColor, PropValue(fontColor)}});
    AddCopy(u"select", input);
    AddCopy(u"textarea", input).Props[piFontFamily] = PropValue(preFontName);

    // 19. to 21. Rules, headings and marked text.
    add(u"hr", {{piMarginLeft, PropValue(0)},
                {piMarginRight, PropValue(0)},
                {piMarginTop, PropValue(10)},
                {piMarginBottom, PropValue(10)}});
    static constexpr double HeadingPoints[6] = {24, 18, 14, 12, 10, 8};
    static constexpr const char16_t* HeadingTags[6] = {u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
    for (int level = 0; level < 6; ++level)
        add(HeadingTags[level], {{piFontSize, PropValue(S / 12 * HeadingPoints[level])},
                                 {piMarginTop, PropValue(19)},
                                 {piMarginBottom, PropValue(19)},
                                 {piFontWeight, Text(u"bold")}});
    rule(u"mark", {{piFontStyle, Text(u"none")}, {piBackgroundColor, PropValue(Color(0x0000FFFF))},
                   {piColor, PropValue(Color(0))}},
         false);
}

} // namespace lantern
