// The property set: its table, how values are stored and read back, inheritance and the property stack.
#include "style/Properties.h"

#include "style/Fonts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace lantern {
namespace {

TEST(PropValue, KindsAndSharedText)
{
    EXPECT_TRUE(PropValue().IsEmpty());
    EXPECT_TRUE(PropValue(UnsetLength).IsInt(UnsetLength));
    EXPECT_FALSE(PropValue(double(UnsetLength)).IsInt(UnsetLength));
    EXPECT_NE(PropValue(1), PropValue(std::uint8_t(1))); // kinds are told apart
    EXPECT_NE(PropValue(1), PropValue(1.0));
    EXPECT_EQ(PropValue(Color(0xFF00000F)).AsColor(), 0xFF00000Fu);
    EXPECT_EQ(PropValue(2.5).AsInt(), 2);
    EXPECT_EQ(PropValue(3.5).AsInt(), 4);
    EXPECT_EQ(PropValue(1e12).AsInt(), INT32_MAX);
    EXPECT_EQ(PropValue(u"12").AsInt(), 0);
    EXPECT_EQ(PropValue(7).Text(), u"");

    // Copies share one text and outlive the cell they came from.
    auto original = std::make_unique<PropValue>(u16(u"Verdana, Arial, sans-serif"));
    PropValue copy = *original;
    std::array<PropValue, 3> cells;
    cells.fill(copy);
    original.reset();
    for (const PropValue& c : cells) EXPECT_EQ(c.Text(), u"Verdana, Arial, sans-serif");
    cells[0] = cells[0];
    cells[1] = std::move(cells[2]);
    EXPECT_TRUE(cells[2].IsEmpty());
    EXPECT_EQ(cells[0], PropValue(u"Verdana, Arial, sans-serif"));
    cells[0] = 5;
    EXPECT_EQ(cells[1].Text(), copy.Text());
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(cells[1].TextPtr()->size(), 26u);
}

TEST(PropertyTable, NamesLookUpExactly)
{
    for (int i = 0; i < PropCount; ++i) EXPECT_EQ(FindPropertyIndex(PropertyName(i)), i) << i;
    EXPECT_EQ(FindPropertyIndex(u"font-family"), piFontFamily);
    EXPECT_EQ(FindPropertyIndex(u"empty-cells"), 63);
    EXPECT_EQ(FindPropertyIndex(u"Color"), -1);
    EXPECT_EQ(FindPropertyIndex(u"color "), -1);
    EXPECT_EQ(FindPropertyIndex(u"list-style-position"), -1);
    EXPECT_EQ(FindPropertyIndex(u""), -1);
    EXPECT_EQ(FindMediaType(u"screen"), 6);
    EXPECT_EQ(FindMediaType(u"Screen"), -1);
}

TEST(Properties, FreshSet)
{
    TProperties a, b;
    for (int i = 0; i < PropCount; ++i) {
        const PropValue& v = a.Props[std::size_t(i)];
        if (i >= piMarginTop && i <= piLeft) EXPECT_TRUE(TProperties::IsUnsetLength(v)) << i;
        else if (i == piZIndex) EXPECT_EQ(v, PropValue(std::uint8_t(0)));
        else EXPECT_TRUE(v.IsEmpty()) << i;
        EXPECT_FALSE(a.SetFlags[std::size_t(i)]);
    }
    EXPECT_EQ(a.InlineBackground, clNone);
    EXPECT_FALSE(a.Quirks);
    EXPECT_TRUE(TProperties(true).Quirks);
    EXPECT_GT(b.SerialNumber, a.SerialNumber);
}

TEST(Properties, SetPropByIndexStoresByKind)
{
    struct Case {
        int Index;
        u16v Text;
        PropValue Expected; // what the cell holds afterwards; it starts as the fresh set's value
    };
    const Case cases[] = {
        {piFontSize, u"12pt", u"12pt"},
        {piColor, u"red", Color(0x000000FF)},
        {piColor, u"nonsense", 0},
        {piBackgroundColor, u"#00ff00", Color(0x0000FF00)},
        {piBackgroundColor, u"nonsense", clNone},
        {piMarginLeft, u"3em", u"3em"},
        {piBorderTopColor, u"blue", Color(0x00FF0000)},
        {piBorderTopColor, u"nonsense", UnsetLength},
        {piBorderLeftStyle, u"dotted", u"dotted"},
        {piVisibility, u"hidden", std::uint8_t(1)},
        {piVisibility, u"visible", std::uint8_t(2)},
        {piVisibility, u"collapse", PropValue()},
        {piTextTransform, u"uppercase", std::uint8_t(1)},
        {piTextTransform, u"lowercase", std::uint8_t(2)},
        {piTextTransform, u"capitalize", std::uint8_t(0)},
        {piWordWrap, u"break-word", u"break-word"},
        {piWordWrap, u"anywhere", u"normal"},
        {piFontVariant, u"small-caps", u"small-caps"},
        {piFontVariant, u"all-caps", PropValue()},
        {piZIndex, u"5", u"5"},
    };
    for (const Case& c : cases) {
        TProperties p;
        p.SetPropByIndex(c.Index, c.Text);
        EXPECT_EQ(p.Props[std::size_t(c.Index)], c.Expected) << PropertyName(c.Index).size() << " " << ToUtf8(c.Text);
        EXPECT_FALSE(p.SetFlags[std::size_t(c.Index)]);
    }
    TProperties p;
    p.SetPropByName(u"text-indent", u"2em");
    p.SetPropByName(u"no-such-property", u"2em");
    EXPECT_EQ(p.Props[piTextIndent], PropValue(u"2em"));
}

TEST(Properties, PresentationalHintsNeverOverwriteRules)
{
    TProperties p;
    p.SetFromAttribute(piColor, Color(0x0000FF));
    EXPECT_TRUE(p.SetFlags[piColor]);
    p.SetFromAttribute(piColor, Color(0x00FF00));
    EXPECT_EQ(p.Props[piColor].AsColor(), 0x0000FFu);

    // Inside a link the hint reaches all four link-state fonts.
    TProperties link;
    link.InLink = true;
    link.LinkFonts = std::make_unique<TFontInfoArray>();
    link.SetFromAttribute(piFontFamily, u"Arial");
    link.SetFromAttribute(piFontSize, 18.0);
    link.SetFromAttribute(piColor, Color(0x123456));
    for (const ThtFontInfo& f : *link.LinkFonts) {
        EXPECT_EQ(f.Face, u"Arial");
        EXPECT_EQ(f.Size, 18.0);
        EXPECT_EQ(f.FontColor, 0x123456u);
    }
}

TEST(Properties, KeywordReaders)
{
    TProperties p;
    AlignmentCode a{};
    p.Props[piVerticalAlign] = u"text-top";
    ASSERT_TRUE(p.VerticalAlignOf(a));
    EXPECT_EQ(a, AlignmentCode::Top);
    p.Props[piVerticalAlign] = u"super";
    ASSERT_TRUE(p.VerticalAlignOf(a));
    EXPECT_EQ(a, AlignmentCode::Super);
    p.Props[piVerticalAlign] = u"10px";
    EXPECT_FALSE(p.VerticalAlignOf(a));

    p.Props[piFloat] = u"right";
    ASSERT_TRUE(p.FloatSideOf(a));
    EXPECT_EQ(a, AlignmentCode::Right);
    p.Props[piFloat] = u"inherit";
    EXPECT_FALSE(p.FloatSideOf(a));

    const std::pair<u16v, DisplayCode> displays[] = {{u"block", DisplayCode::Block},
                                                      {u"none", DisplayCode::None},
                                                      {u"run-in", DisplayCode::RunIn},
                                                      {u"table-cell", DisplayCode::NotGiven},
                                                      {u"", DisplayCode::NotGiven}};
    for (auto [text, code] : displays) {
        p.Props[piDisplay] = text;
        EXPECT_EQ(p.DisplayOf(), code) << ToUtf8(text);
    }
    p.Props[piListStyleType] = u"upper-roman";
    EXPECT_EQ(p.ListStyleTypeOf(), ListStyleType::UpperRoman);
    p.Props[piListStyleType] = u"armenian";
    EXPECT_EQ(p.ListStyleTypeOf(), ListStyleType::Blank);
    p.Props[piPosition] = u"absolute";
    EXPECT_EQ(p.PositioningOf(), Positioning::Absolute);
    p.Props[piPosition] = u"sticky";
    EXPECT_EQ(p.PositioningOf(), Positioning::Static);

    EXPECT_EQ(p.VisibilityOf(), VisibilityVisible);
    p.SetPropByIndex(piVisibility, u"hidden");
    EXPECT_EQ(p.VisibilityOf(), VisibilityHidden);

    const std::pair<PropValue, int> zs[] = {{std::uint8_t(0), 0}, {7, 7}, {u"-3", -3}, {u"auto", 0}, {2.5, 2}};
    for (const auto& [cell, z] : zs) {
        p.Props[piZIndex] = cell;
        EXPECT_EQ(p.ZIndexOf(), z);
    }
}

TEST(Properties, ClearIsHonouredOnce)
{
    TProperties p;
    ClearSide side = ClearSide::None;
    p.Props[piClear] = u"both";
    ASSERT_TRUE(p.ClearSideOf(side));
    EXPECT_EQ(side, ClearSide::Both);
    EXPECT_FALSE(p.ClearSideOf(side));
    p.Props[piClear] = u"sideways"; // unknown text is consumed as well
    EXPECT_FALSE(p.ClearSideOf(side));
    EXPECT_TRUE(p.Props[piClear].IsEmpty());
}

TEST(Properties, LineHeightAndTextIndent)
{
    TProperties p;
    p.EmSize = 16;
    p.ExSize = 8;
    EXPECT_EQ(p.LineHeightOf(20), -1);
    p.Props[piLineHeight] = u"1.5";
    EXPECT_EQ(p.LineHeightOf(-20), 30);
    p.Props[piLineHeight] = u"150%";
    EXPECT_EQ(p.LineHeightOf(20), 24);
    p.Props[piLineHeight] = u"2em";
    EXPECT_EQ(p.LineHeightOf(20), 32);
    p.Props[piLineHeight] = u"normal";
    EXPECT_EQ(p.LineHeightOf(20), -1);

    bool percent = true;
    EXPECT_EQ(p.TextIndentOf(percent), 0);
    EXPECT_FALSE(percent);
    p.Props[piTextIndent] = u"10%";
    EXPECT_EQ(p.TextIndentOf(percent), 10);
    EXPECT_TRUE(percent);
    p.Props[piTextIndent] = u"2ex"; // ex reads as the em size here
    EXPECT_EQ(p.TextIndentOf(percent), 32);
    EXPECT_FALSE(percent);
}

TEST(Properties, Urls)
{
    const std::pair<u16v, u16v> cases[] = {
        {u"url(a.gif)", u"a.gif"},
        {u"url( \n'b c.png' ) no-repeat", u"b c.png"},
        {u"url(\"d.png", u"d.png"},
        {u"url(x(1).gif) repeat", u"x(1).gif"},
        {u"url(e.gif left", u"e.gif"},
        {u"none", u""},
        {u"url()", u""},
    };
    for (auto [text, url] : cases) EXPECT_EQ(ExtractCssUrl(text), url) << ToUtf8(text);

    TProperties p;
    u16 url = u"?";
    EXPECT_FALSE(p.BackgroundImageOf(url));
    p.Props[piBackgroundImage] = u"none";
    EXPECT_TRUE(p.BackgroundImageOf(url));
    EXPECT_TRUE(url.empty());
    p.Props[piBackgroundImage] = u"url(bg.jpg)";
    EXPECT_TRUE(p.BackgroundImageOf(url));
    EXPECT_EQ(url, u"bg.jpg");
    p.Props[piListStyleImage] = u"url('dot.gif')";
    EXPECT_TRUE(p.ListStyleImageOf(url));
    EXPECT_EQ(url, u"dot.gif");
}

TEST(Properties, BackgroundPlacement)
{
    using K = BackgroundPosKind;
    struct Case {
        u16v Position;
        K X;
        int XValue;
        K Y;
        int YValue;
    };
    const Case cases[] = {
        {u"left top", K::Left, 0, K::Top, 0},      {u"right bottom", K::Right, 0, K::Bottom, 0},
        {u"center", K::Center, 0, K::Center, 0},   {u"top", K::Center, 0, K::Top, 0},
        {u"left", K::Left, 0, K::Center, 0},       {u"30% 2em", K::Percent, 30, K::Length, 20},
        {u"10px", K::Length, 10, K::Center, 0},    {u"center left", K::Left, 0, K::Center, 0},
        {u" 5px   7px ", K::Length, 5, K::Length, 7},
    };
    for (const Case& c : cases) {
        TProperties p;
        p.Props[piBackgroundPosition] = c.Position;
        TBackgroundPlacement r;
        p.BackgroundPlacementOf(10, 5, r);
        EXPECT_EQ(r.Axes[0].Kind, c.X) << ToUtf8(c.Position);
        EXPECT_EQ(r.Axes[0].Value, c.XValue) << ToUtf8(c.Position);
        EXPECT_EQ(r.Axes[1].Kind, c.Y) << ToUtf8(c.Position);
        EXPECT_EQ(r.Axes[1].Value, c.YValue) << ToUtf8(c.Position);
    }
    TProperties p;
    TBackgroundPlacement r;
    p.Props[piBackgroundRepeat] = u"repeat-x";
    p.Props[piBackgroundAttachment] = u"fixed";
    p.BackgroundPlacementOf(10, 5, r);
    EXPECT_EQ(r.Axes[0], (TBackgroundPlacement::Axis{K::Length, 0, true, true}));
    EXPECT_EQ(r.Axes[1], (TBackgroundPlacement::Axis{K::Length, 0, false, true}));
    p.Props[piBackgroundRepeat] = u"no-repeat";
    p.BackgroundPlacementOf(10, 5, r);
    EXPECT_FALSE(r.Axes[0].Repeat || r.Axes[1].Repeat);
}

TEST(Properties, BordersAndGatheredBoxCells)
{
    TProperties p;
    EXPECT_FALSE(p.HasAnyBorderStyle());
    EXPECT_FALSE(p.HasAnyBorderWidth());
    p.Props[piColor] = Color(0x00112233);
    p.SetPropByIndex(piBorderTopColor, u"transparent");
    p.SetPropByIndex(piBorderRightColor, u"buttonface");
    p.SetPropByIndex(piBorderBottomColor, u"red");
    p.Props[piBorderLeftColor] = Color(0x02FF0000); // palette-relative blue is still an ordinary colour
    p.Props[piBorderTopStyle] = u"none";
    p.Props[piBorderRightStyle] = std::uint8_t(6);
    p.Props[piBorderBottomStyle] = u"wavy";
    p.Props[piBorderRightWidth] = u"thin";
    EXPECT_TRUE(p.HasAnyBorderWidth());
    EXPECT_TRUE(p.HasAnyBorderStyle());
    EXPECT_TRUE(p.HasVisibleBorder());
    BorderStyle s{};
    EXPECT_FALSE(p.BorderStyleOf(piBorderBottomStyle, s));
    ASSERT_TRUE(p.BorderStyleOf(piBorderRightStyle, s));
    EXPECT_EQ(s, BorderStyle::Dashed);

    TBoxCellArray cells;
    p.GatherBorderValues(cells, true);
    auto cell = [&](int i) { return cells[std::size_t(BoxSlot(i))]; };
    EXPECT_EQ(cell(piBorderTopColor), PropValue(Color(0x00112233)));
    EXPECT_EQ(cell(piBorderRightColor), PropValue(Color(0x00112233)));
    EXPECT_EQ(cell(piBorderBottomColor), PropValue(Color(0x000000FF)));
    EXPECT_EQ(cell(piBorderLeftColor), PropValue(Color(0x02FF0000)));
    EXPECT_EQ(cell(piBorderTopStyle), PropValue(std::uint8_t(0)));
    EXPECT_EQ(cell(piBorderRightStyle), PropValue(std::uint8_t(6)));
    EXPECT_EQ(cell(piBorderBottomStyle), PropValue(std::uint8_t(0)));
    EXPECT_EQ(cell(piBorderRightWidth), PropValue(u"thin"));
    p.GatherBorderValues(cells, false);
    EXPECT_TRUE(TProperties::IsUnsetLength(cell(piBorderTopColor)));
    EXPECT_EQ(cell(piBorderBottomColor), PropValue(Color(0x000000FF)));

    TProperties dotted;
    dotted.Props[piBorderTopStyle] = u"none";
    EXPECT_FALSE(dotted.HasVisibleBorder());
}

TEST(Properties, ExplicitColoursNeedARule)
{
    TProperties p;
    p.Props[piColor] = Color(0xFF);
    p.Props[piBackgroundColor] = Color(0xFF00);
    EXPECT_EQ(p.GetExplicitForegroundColor(), clNone);
    EXPECT_EQ(p.BackgroundColorOf(), clNone);
    p.TakeInlineBackground();
    EXPECT_EQ(p.InlineBackground, clNone);
    p.SetFlags[piColor] = p.SetFlags[piBackgroundColor] = true;
    EXPECT_EQ(p.GetExplicitForegroundColor(), 0xFFu);
    EXPECT_EQ(p.BackgroundColorOf(), 0xFF00u);
    p.TakeInlineBackground();
    EXPECT_EQ(p.InlineBackground, 0xFF00u);
}

// ---------------------------------------------------------------------------------------------------------------
// Inheritance and the stack

// A cascade that applies canned declarations per tag and records what it was asked.
class FakeCascade : public TStyleCascade {
public:
    struct Call {
        u16 Tag;
        int ParentIndex;
    };
    std::vector<Call> Calls;
    std::vector<std::pair<u16, int>> LinkFontBuilds;

    void ComputeElementStyle(TProperties& element, u16v tag, int parentIndex, const TProperties*, u16v, u16v pseudo,
                             u16v, u16v) override
    {
        Calls.push_back({u16(tag), parentIndex});
        element.PropTag = tag;
        element.PropPseudo = pseudo;
        if (tag == u"div") Assign(element, piMarginLeft, u"10px");
        if (tag == u"b") Assign(element, piFontWeight, u"bold");
        if (tag == u"span") Assign(element, piBorderTopStyle, u"solid");
        if (tag == u"tbody") Assign(element, piFontStyle, u"italic");
    }
    void BuildLinkFonts(TProperties& link, int stackIndex) override { LinkFontBuilds.push_back({link.PropTag, stackIndex}); }

    static void Assign(TProperties& p, int index, u16v text)
    {
        p.Props[std::size_t(index)] = text;
        p.SetFlags[std::size_t(index)] = true;
    }
};

class PropStack : public ::testing::Test {
protected:
    void SetUp() override
    {
        stack.Cascade = &cascade;
        auto root = std::make_unique<TProperties>(&stack, false);
        root->PropTag = u"default";
        root->Props[piColor] = Color(0x00000080);
        root->Props[piWordWrap] = u"break-word";
        root->SetCharset(1);
        stack.Add(std::move(root));
    }
    std::vector<u16> Tags() const
    {
        std::vector<u16> t;
        for (int i = 0; i < stack.Count(); ++i) t.push_back(stack.Get(i).PropTag);
        return t;
    }
    TProperties& Push(u16v tag) { return stack.PushElement(tag, u"", nullptr, u"", u"", u""); }

    FakeCascade cascade;
    THtmlPropStack stack;
};

TEST_F(PropStack, OrdinaryInheritance)
{
    TProperties& div = Push(u"div");
    div.Props[piBackgroundColor] = Color(0xFF);
    div.Props[piDisplay] = u"block";
    div.Props[piTextIndent] = u"1em";
    TProperties& p = Push(u"p");
    EXPECT_EQ(p.Props[piColor], PropValue(Color(0x00000080)));
    EXPECT_EQ(p.Props[piTextIndent], PropValue(u"1em"));
    EXPECT_TRUE(TProperties::IsUnsetLength(p.Props[piMarginLeft]));
    EXPECT_TRUE(p.Props[piBackgroundColor].IsEmpty());
    EXPECT_TRUE(p.Props[piDisplay].IsEmpty());
    EXPECT_FALSE(p.SetFlags[piMarginLeft]);
    EXPECT_EQ(p.Owner, &stack);
    ASSERT_EQ(cascade.Calls.size(), 2u);
    EXPECT_EQ(cascade.Calls[1].ParentIndex, 1);
}

TEST_F(PropStack, SpanAndTableSectionsPassMore)
{
    Push(u"span");
    TProperties& inSpan = Push(u"i");
    EXPECT_EQ(inSpan.Props[piBorderTopStyle], PropValue(u"solid")); // box properties come through a span
    EXPECT_FALSE(inSpan.SetFlags[piBorderTopStyle]);
    stack.PopElement(u"i");
    stack.PopElement(u"span");

    Push(u"tbody");
    TProperties& row = Push(u"tr");
    EXPECT_EQ(row.Props[piFontStyle], PropValue(u"italic"));
    EXPECT_TRUE(row.SetFlags[piFontStyle]); // and set flags through a table section

    TProperties& table = Push(u"table");
    EXPECT_EQ(table.Props[piWordWrap], PropValue(u"normal"));
    TProperties& cell = Push(u"td");
    EXPECT_EQ(cell.Props[piWordWrap], PropValue(u"normal"));
}

TEST_F(PropStack, InheritedStateBesidesCells)
{
    TProperties& root = stack.Get(0);
    root.DefaultFaceName = u"Times New Roman";
    root.InlineBackground = 0x00ABCDEF;
    root.PropTitle = u"tip";
    root.EmSize = 16;
    root.ExSize = 8;
    root.InLink = true;
    root.LinkFonts = std::make_unique<TFontInfoArray>();
    (*root.LinkFonts)[lsHover].FontColor = 0x0000FF;
    TProperties& child = Push(u"em");
    EXPECT_EQ(child.DefaultFaceName, u"Times New Roman");
    EXPECT_EQ(child.InlineBackground, 0x00ABCDEFu);
    EXPECT_EQ(child.PropTitle, u"tip");
    EXPECT_EQ(child.EmSize, 16);
    EXPECT_EQ(child.ExSize, 8);
    EXPECT_TRUE(child.InLink);
    ASSERT_TRUE(child.LinkFonts);
    EXPECT_EQ((*child.LinkFonts)[lsHover].FontColor, 0x0000FFu);
    EXPECT_EQ(child.Charset, root.Charset);
    EXPECT_EQ(child.CodePage, root.CodePage);
}

TEST_F(PropStack, PopElementOutOfOrderReinherits)
{
    Push(u"div");
    Push(u"b");
    TProperties& i = Push(u"i");
    EXPECT_EQ(i.Props[piMarginLeft], PropValue(UnsetLength));
    EXPECT_EQ(i.Props[piFontWeight], PropValue(u"bold"));
    i.Props[piTextDecoration] = u"underline";
    i.SetFlags[piTextDecoration] = true;
    (void)i.FontOf();
    ASSERT_TRUE(i.CachedFont);

    stack.PopElement(u"b"); // closes <b> while <i> is still open
    EXPECT_EQ(Tags(), (std::vector<u16>{u"default", u"div", u"i"}));
    TProperties& after = stack.TopProperties();
    EXPECT_EQ(after.Props[piFontWeight], PropValue()); // div has no weight: no longer bold
    EXPECT_EQ(after.Props[piMarginLeft], PropValue(u"10px")); // unset cells now come from the div itself
    EXPECT_EQ(after.Props[piTextDecoration], PropValue(u"underline"));
    EXPECT_FALSE(after.CachedFont);

    stack.PopElement(u"table"); // not open: nothing happens
    EXPECT_EQ(stack.Count(), 3);
    stack.PopElement(u"div"); // from index 1 the sets above stay as they are
    EXPECT_EQ(Tags(), (std::vector<u16>{u"default", u"i"}));
    EXPECT_EQ(stack.TopProperties().Props[piMarginLeft], PropValue(u"10px"));
    stack.PopElement(u"default"); // the root is never popped
    stack.PopLast();
    stack.PopLast();
    EXPECT_EQ(Tags(), (std::vector<u16>{u"default"}));
}

TEST_F(PropStack, ReinheritRebuildsOrDropsLinkFonts)
{
    auto pushLink = [&] {
        TProperties& a = stack.PushElement(u"a", u"", nullptr, u"", u"link", u"");
        a.InLink = true;
        a.LinkFonts = std::make_unique<TFontInfoArray>();
        (*a.LinkFonts)[lsLink].FontColor = 0x00FF00;
    };
    // Closing the link while elements inside it are open takes them out of the link.
    Push(u"div");
    pushLink();
    ASSERT_TRUE(Push(u"b").LinkFonts);
    Push(u"i");
    stack.PopElement(u"a");
    for (int i : {2, 3}) {
        EXPECT_FALSE(stack.Get(i).LinkFonts) << i;
        EXPECT_FALSE(stack.Get(i).InLink) << i;
    }
    EXPECT_TRUE(cascade.LinkFontBuilds.empty());

    // A link whose parent closes out of order rebuilds its own link fonts at its new place; what is inside it
    // copies the link's.
    Push(u"u");
    pushLink();
    Push(u"em");
    stack.PopElement(u"u");
    ASSERT_EQ(cascade.LinkFontBuilds.size(), 1u);
    EXPECT_EQ(cascade.LinkFontBuilds[0], std::make_pair(u16(u"a"), 4));
    ASSERT_TRUE(stack.TopProperties().LinkFonts);
    EXPECT_EQ((*stack.TopProperties().LinkFonts)[lsLink].FontColor, 0x00FF00u);
}

TEST_F(PropStack, ClosingABorderedElementClosesItsInlineBorder)
{
    std::vector<std::pair<int, int>> closed;
    stack.CloseInlineBorder = [&](TProperties& p, int pos) { closed.push_back({p.SerialNumber, pos}); };
    TProperties& quote = Push(u"blockquote");
    quote.Props[piBorderLeftStyle] = u"groove";
    const int serial = quote.SerialNumber;
    Push(u"em");
    stack.SourcePos = 42;
    stack.PopElement(u"em");
    EXPECT_TRUE(closed.empty());
    stack.PopElement(u"blockquote");
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], std::make_pair(serial, 42));
}

TEST(PropStackWithoutCascade, InheritsOnly)
{
    THtmlPropStack stack;
    stack.Quirks = true;
    stack.Add(std::make_unique<TProperties>(&stack, true));
    TProperties& p = stack.PushElement(u"p", u"x", nullptr, u"", u"", u"");
    EXPECT_TRUE(p.Quirks);
    EXPECT_EQ(stack.Count(), 2);
}

} // namespace
} // namespace lantern
