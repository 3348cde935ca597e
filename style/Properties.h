// The computed property set of one element (TProperties), its value cells, and the stack of sets that mirrors
// the open elements while a document is built (TPropStack, THtmlPropStack).
//
// Ownership: a stack owns its sets. A set owns its cached font, its link font table and the set its element's
// style attribute gave, so that set lives exactly as long as the element's entry and every later cascade over
// the entry (the link states rebuilt after an out-of-order close) can read it. A set only borrows its owning
// stack. Sets held by style rules belong to the style list.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "style/FontInfo.h"
#include "style/PartFilter.h"
#include "style/PropValue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace lantern {

class TBuffer;
class TMyFont;
class TPropStack;
class TProperties;
class TStyleCascade;

// ---------------------------------------------------------------------------------------------------------------
// Property indices, in table order. Box properties (9-39) and a few ranges are addressed arithmetically, so this
// stays a plain enumeration of ints.
enum PropIndex : int {
    piFontFamily, piFontSize, piFontStyle, piFontWeight, piTextAlign, piTextDecoration, piLetterSpacing, piColor,
    piBackgroundColor,
    piMarginTop, piMarginRight, piMarginBottom, piMarginLeft,
    piMinHeight, piMinWidth, piMaxHeight, piMaxWidth,
    piBoxSizing,
    piPaddingTop, piPaddingRight, piPaddingBottom, piPaddingLeft,
    piBorderTopWidth, piBorderRightWidth, piBorderBottomWidth, piBorderLeftWidth,
    piBorderTopColor, piBorderRightColor, piBorderBottomColor, piBorderLeftColor,
    piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle, piBorderLeftStyle,
    piWidth, piHeight, piTop, piBottom, piRight, piLeft,
    piVisibility, piLineHeight, piBackgroundImage, piBackgroundPosition, piBackgroundRepeat, piBackgroundAttachment,
    piVerticalAlign, piPosition, piZIndex, piListStyleType, piListStyleImage, piFloat, piClear, piTextIndent,
    piPageBreakBefore, piPageBreakAfter, piPageBreakInside, piTextTransform, piWordWrap, piFontVariant,
    piBorderCollapse, piOverflow, piDisplay, piEmptyCells,
    PropCount
};

// What InheritFrom does with a cell for an ordinary element.
enum class PropInherit : std::uint8_t {
    Copy,  // taken from the parent
    Empty, // stays empty, as constructed
    Reset, // set to UnsetLength
};

// What a fresh set holds in a cell.
enum class PropInitial : std::uint8_t { Empty, UnsetLength, ZeroByte };

// How a declared value is stored (shared by style attributes and style rules).
enum class PropStore : std::uint8_t {
    Text,          // the text as written
    ForeColor,     // a parsed colour
    BackColor,     // a parsed colour, clNone when it does not parse
    BorderColor,   // a parsed colour, nothing when it does not parse
    Visibility,    // "visible" 2, "hidden" 1, else nothing
    TextTransform, // "uppercase" 1, "lowercase" 2, else 0
    WordWrap,      // "break-word", else "normal"
    FontVariant,   // "small-caps" or "normal", else nothing
};

struct PropertyInfo {
    std::u16string_view Name;
    PropInherit Inherit;
    PropInitial Initial;
    PropStore Store;
};

namespace detail {
inline constexpr PropertyInfo Inh(std::u16string_view n, PropStore s = PropStore::Text) {
    return {n, PropInherit::Copy, PropInitial::Empty, s};
}
inline constexpr PropertyInfo Own(std::u16string_view n, PropStore s = PropStore::Text) {
    return {n, PropInherit::Empty, PropInitial::Empty, s};
}
inline constexpr PropertyInfo Box(std::u16string_view n, PropStore s = PropStore::Text) {
    return {n, PropInherit::Reset, PropInitial::UnsetLength, s};
}
} // namespace detail

// The one table of the 64 properties: CSS name, inheritance, initial value and how a declaration is stored.
inline constexpr std::array<PropertyInfo, PropCount> PropertyTable = {{
    detail::Inh(u"font-family"), detail::Inh(u"font-size"), detail::Inh(u"font-style"), detail::Inh(u"font-weight"),
    detail::Inh(u"text-align"), detail::Inh(u"text-decoration"), detail::Inh(u"letter-spacing"),
    detail::Inh(u"color", PropStore::ForeColor), detail::Own(u"background-color", PropStore::BackColor),
    detail::Box(u"margin-top"), detail::Box(u"margin-right"), detail::Box(u"margin-bottom"), detail::Box(u"margin-left"),
    detail::Box(u"min-height"), detail::Box(u"min-width"), detail::Box(u"max-height"), detail::Box(u"max-width"),
    detail::Box(u"box-sizing"),
    detail::Box(u"padding-top"), detail::Box(u"padding-right"), detail::Box(u"padding-bottom"),
    detail::Box(u"padding-left"),
    detail::Box(u"border-top-width"), detail::Box(u"border-right-width"), detail::Box(u"border-bottom-width"),
    detail::Box(u"border-left-width"),
    detail::Box(u"border-top-color", PropStore::BorderColor), detail::Box(u"border-right-color", PropStore::BorderColor),
    detail::Box(u"border-bottom-color", PropStore::BorderColor), detail::Box(u"border-left-color", PropStore::BorderColor),
    detail::Box(u"border-top-style"), detail::Box(u"border-right-style"), detail::Box(u"border-bottom-style"),
    detail::Box(u"border-left-style"),
    detail::Box(u"width"), detail::Box(u"height"), detail::Box(u"top"), detail::Box(u"bottom"), detail::Box(u"right"),
    detail::Box(u"left"),
    detail::Inh(u"visibility", PropStore::Visibility), detail::Inh(u"line-height"), detail::Own(u"background-image"),
    detail::Own(u"background-position"), detail::Own(u"background-repeat"), detail::Own(u"background-attachment"),
    detail::Inh(u"vertical-align"), detail::Own(u"position"),
    {u"z-index", PropInherit::Copy, PropInitial::ZeroByte, PropStore::Text},
    detail::Inh(u"list-style-type"), detail::Inh(u"list-style-image"), detail::Own(u"float"), detail::Own(u"clear"),
    detail::Inh(u"text-indent"),
    detail::Own(u"page-break-before"), detail::Own(u"page-break-after"), detail::Own(u"page-break-inside"),
    detail::Inh(u"text-transform", PropStore::TextTransform), detail::Inh(u"word-wrap", PropStore::WordWrap),
    detail::Inh(u"font-variant", PropStore::FontVariant),
    detail::Own(u"border-collapse"), detail::Own(u"overflow"), detail::Own(u"display"), detail::Inh(u"empty-cells"),
}};

inline constexpr std::u16string_view PropertyName(int index) { return PropertyTable[std::size_t(index)].Name; }

// The url inside the first "url(" ... ")" of a value: quoted up to the same quote, else up to a blank or the ")"
// that closes it. Empty when there is none.
u16 ExtractCssUrl(u16v text);

// Exact, case-sensitive lookup; -1 when the name is not a property.
int FindPropertyIndex(u16v name);

// What a declaration of `text` stores in cell `index`, or nothing. A colour that does not parse stores nothing for
// "color" (a style attribute stores 0 instead, see SetPropByIndex).
std::optional<PropValue> DeclaredValue(int index, u16v text);

// ---------------------------------------------------------------------------------------------------------------
// Keyword tables; a keyword's position is the code the accessors return.
inline constexpr std::array<std::u16string_view, 2> BoxSizingNames = {u"content-box", u"border-box"};
inline constexpr std::array<std::u16string_view, 9> BorderStyleNames = {
    u"none", u"solid", u"inset", u"outset", u"groove", u"ridge", u"dashed", u"dotted", u"double"};
inline constexpr std::array<std::u16string_view, 7> DisplayNames = {
    u"", u"block", u"inline", u"inline-block", u"list-item", u"run-in", u"none"};
inline constexpr std::array<std::u16string_view, 10> ListStyleTypeNames = {
    u"blank", u"circle", u"decimal", u"disc", u"lower-alpha", u"lower-roman", u"none", u"square", u"upper-alpha",
    u"upper-roman"};
inline constexpr std::array<std::u16string_view, 10> MediaTypeNames = {
    u"all", u"braille", u"embossed", u"handheld", u"print", u"projection", u"screen", u"speech", u"tty", u"tv"};

// Exact lookup in the media table; -1 when unknown.
int FindMediaType(u16v name);

enum class BorderStyle : std::uint8_t { None, Solid, Inset, Outset, Groove, Ridge, Dashed, Dotted, Double };
enum class DisplayCode : std::uint8_t { NotGiven, Block, Inline, InlineBlock, ListItem, RunIn, None };
enum class ListStyleType : std::uint8_t {
    Blank, Circle, Decimal, Disc, LowerAlpha, LowerRoman, None, Square, UpperAlpha, UpperRoman};
enum class Positioning : std::uint8_t { Static, Relative, Absolute, Fixed };
enum class ClearSide : std::uint8_t { None, Left, Right, Both };

// Alignment codes shared with image and table layout.
enum class AlignmentCode : std::uint8_t {
    None = 0, Top = 1, Middle = 2, Baseline = 3, Bottom = 4, Left = 5, Right = 6, Sub = 8, Super = 9};

// The code page FONT CHARSET gives its own set: the one in force. The FONT's set inherits it from the
// enclosing set that SwitchCharset just switched, together with the buffer, so the set carries the code page
// the buffer decodes with, and every set inheriting from it gets a real code page.
inline constexpr int KeepCodePage = -1;

inline constexpr std::uint8_t VisibilityHidden = 1;
inline constexpr std::uint8_t VisibilityVisible = 2;

// ---------------------------------------------------------------------------------------------------------------
// Box values: properties 8 to 39 (background colour, margins, min/max, box-sizing, paddings, border widths,
// colours and styles, width, height, top, bottom, right, left), in index order.
inline constexpr int BoxFirst = piBackgroundColor;
inline constexpr int BoxCount = piLeft - piBackgroundColor + 1; // 32
inline constexpr int BoxSlot(int propIndex) { return propIndex - BoxFirst; }

using TBoxValueArray = std::array<int, BoxCount>;
using TBoxCellArray = std::array<PropValue, BoxCount>;

// Where a background picture goes, per axis (0 horizontal, 1 vertical).
enum class BackgroundPosKind : std::uint8_t { Top, Center, Bottom, Left, Right, Percent, Length };
struct TBackgroundPlacement {
    struct Axis {
        BackgroundPosKind Kind = BackgroundPosKind::Length;
        int Value = 0;
        bool Repeat = true;
        bool Fixed = false;
        friend bool operator==(const Axis&, const Axis&) = default;
    };
    std::array<Axis, 2> Axes;
    friend bool operator==(const TBackgroundPlacement&, const TBackgroundPlacement&) = default;
};

// ---------------------------------------------------------------------------------------------------------------
// The cascade as the property stack sees it. The document's style list implements it; a stack without one only
// inherits.
class TStyleCascade {
public:
    virtual ~TStyleCascade() = default;
    // Merge the rules for the element into `element`, whose parent sits at `parentIndex` on its stack, and then
    // the style-attribute set, which is only read.
    virtual void ComputeElementStyle(TProperties& element, u16v tag, int parentIndex, const TProperties* styleAttr,
                                     u16v title, u16v pseudo, u16v id, u16v classes) = 0;
    // Fill the link font table of `link`, which sits at `stackIndex` on its stack.
    virtual void BuildLinkFonts(TProperties& link, int stackIndex) = 0;
};

class TProperties {
public:
    TProperties();
    TProperties(TPropStack* owner, bool quirks);
    explicit TProperties(bool quirks);
    ~TProperties();
    TProperties(const TProperties&) = delete;
    TProperties& operator=(const TProperties&) = delete;

    // --- construction from other sets
    void CopyValues(const TProperties& source);
    void CopyAsDefault(const TProperties& source);
    void InheritFrom(u16v tag, const TProperties& parent);
    void Reinherit(const TProperties& parent, TStyleCascade* cascade, int stackIndex);

    // --- setting values
    void SetPropByName(u16v name, u16v text);
    void SetPropByIndex(int index, u16v text);
    void SetFromAttribute(int index, const PropValue& value); // presentational hint: never over a set property
    // The charset setters take every charset and code page the tables decode, and never raise: a charset
    // without a row decodes with CP_ACP, a code page without a row shows in the default charset.
    void SetCharset(int charset);
    void SetCodePage(int codePage);
    // `codePage` KeepCodePage keeps the code page in force (see there).
    void SetCharsetAndCodePage(int charset, int codePage);
    void TakeInlineBackground();

    // --- reading values (false / 0 mean "not given")
    bool BackgroundImageOf(u16& url) const;
    bool ListStyleImageOf(u16& url) const;
    void BackgroundPlacementOf(int emSize, int exSize, TBackgroundPlacement& out) const;
    bool VerticalAlignOf(AlignmentCode& code) const;
    bool HidesOverflow() const;
    bool FloatSideOf(AlignmentCode& code) const;
    bool ClearSideOf(ClearSide& side); // consumes the cell: a clear is honoured once
    DisplayCode DisplayOf() const;
    ListStyleType ListStyleTypeOf() const;
    Positioning PositioningOf() const;
    std::uint8_t VisibilityOf() const;
    int ZIndexOf() const;
    bool HasAnyBorderWidth() const;
    bool CollapsesBorders() const;
    int LineHeightOf(int fontHeight) const;
    int TextIndentOf(bool& isPercent) const;
    std::uint8_t TextTransformOf() const;
    u16 FontVariantOf() const;
    void PageBreaksOf(bool& before, bool& after, bool& inside) const;
    Color BackgroundColorOf() const;
    Color GetExplicitForegroundColor() const;
    bool BorderStyleOf(int index, BorderStyle& style) const; // index 30-33
    bool HasAnyBorderStyle() const;
    bool HasVisibleBorder() const;
    bool ShowsEmptyCells() const;
    void GatherBorderValues(TBoxCellArray& cells, bool useColorForBorders) const;

    // --- fonts
    void FontInfoOf(ThtFontInfo& info) const;
    std::unique_ptr<TMyFont> FontOf(); // a copy the caller owns
    void CopyLinkFonts(TFontInfoArray& out) const;

    // --- fields
    TPropStack* Owner = nullptr;               // the stack (or list) this set belongs to
    std::unique_ptr<TMyFont> CachedFont;       // built by FontOf
    bool InLink = false;                       // inside a link: LinkFonts is valid
    u16 DefaultFaceName;                       // used when a family list names nothing installed
    bool Quirks = false;
    u16 PropTag;                               // element tag, "default" for the root set
    u16 PropClass;                             // lower case, sorted, joined by "."
    u16 PropID;                                // lower case
    u16 PropPseudo;                            // "", "link", "visited" or "hover"
    u16 PropTitle;
    std::unique_ptr<TProperties> PropStyle;    // the set parsed from the style attribute
    TPartFilter Lineage;                       // the parts of this element and of every element below it on the
                                               // stack but the root; stays a superset after an out-of-order close
    Color InlineBackground = clNone;
    int Charset = 0;                           // a byte on the platform
    int CodePage = 0;
    int EmSize = 0;
    int ExSize = 0;
    std::array<PropValue, PropCount> Props;
    std::array<bool, PropCount> SetFlags{};    // assigned by a rule or a presentational hint
    std::unique_ptr<TFontInfoArray> LinkFonts; // link, visited, hover, visited hover
    int SerialNumber = 0;                      // pairs an element's inline border start and end

    static bool IsAutoLength(const PropValue& cell) { return cell.IsInt(AutoLength); }
    static bool IsUnsetLength(const PropValue& cell) { return cell.IsInt(UnsetLength); }
    static int LengthCellToPixels(const PropValue& cell, bool relative, int base, int def, int exSize, int emSize);

private:
    void InitFresh();
    const u16* TextOf(int index) const; // null when the cell is not text
};

// ---------------------------------------------------------------------------------------------------------------
// An owning list of sets.
class TPropStack {
public:
    virtual ~TPropStack();

    int Count() const { return int(items_.size()); }
    TProperties& Get(int index) const { return *items_[std::size_t(index)]; }
    TProperties& TopProperties() const { return *items_.back(); }
    TProperties& Add(std::unique_ptr<TProperties> set);
    TProperties& Insert(int index, std::unique_ptr<TProperties> set);
    void Delete(int index);
    void Clear();

private:
    std::vector<std::unique_ptr<TProperties>> items_;
};

// The stack that mirrors the open elements while a document is built.
class THtmlPropStack : public TPropStack {
public:
    TStyleCascade* Cascade = nullptr; // the document's style list
    bool Quirks = false;              // the document's mode
    int SourcePos = 0;                // kept up to date by the document builder
    // Closes the inline border record of an element that has a visible border (the document's).
    std::function<void(TProperties&, int sourcePos)> CloseInlineBorder;

    // The new set takes over `styleAttr`, the set of the element's style attribute (GetStyle), or none.
    TProperties& PushElement(u16v tag, u16v classes, std::unique_ptr<TProperties> styleAttr, u16v title, u16v pseudo,
                             u16v id);
    void PopLast();
    void PopElement(u16v tag);

    // A charset declared by META or FONT CHARSET: the name is looked up (FindCharSetInfo); the top set takes
    // the row's code page for UTF-8 and UTF-16, else its charset, and `buffer` (the one being read) takes the
    // top set's charset and code page. False, with nothing changed, for an unknown name.
    bool SwitchCharset(u16v name, TBuffer& buffer);
};

} // namespace lantern
