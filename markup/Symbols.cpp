#include "markup/Symbols.h"

#include <algorithm>
#include <array>

namespace lantern {

namespace {

// Shorter names first, so most probes of a lookup are settled by the length alone.
constexpr bool NameLess(std::string_view a, std::string_view b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

template <typename Row, std::size_t N>
constexpr std::array<Row, N> Sorted(std::array<Row, N> rows)
{
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return NameLess(a.Name, b.Name); });
    return rows;
}

// The tag table as listed; sorted at compile time for the lookup.
constexpr auto Tags = Sorted(std::array<TTagInfo, 90>{{
    {"HTML", symHtml, symEndHtml},
    {"TITLE", symTitle, symEndTitle},
    {"BODY", symBody, symEndBody},
    {"HEAD", symHead, symEndHead},
    {"B", symB, symEndB},
    {"I", symI, symEndI},
    {"H", symH, symEndH},
    {"EM", symEm, symEndEm},
    {"STRONG", symStrong, symEndStrong},
    {"U", symU, symEndU},
    {"CITE", symCite, symEndCite},
    {"VAR", symVar, symEndVar},
    {"TT", symTt, symEndTt},
    {"CODE", symCode, symEndCode},
    {"KBD", symKbd, symEndKbd},
    {"SAMP", symSamp, symEndSamp},
    {"OL", symOl, symEndOl},
    {"UL", symUl, symEndUl},
    {"DIR", symDir, symEndDir},
    {"MENU", symMenu, symEndMenu},
    {"DL", symDl, symEndDl},
    {"A", symA, symEndA},
    {"ADDRESS", symAddress, symEndAddress},
    {"BLOCKQUOTE", symBlockquote, symEndBlockquote},
    {"PRE", symPre, symEndPre},
    {"CENTER", symCenter, symEndCenter},
    {"TABLE", symTable, symEndTable},
    {"TD", symTd, symEndTd},
    {"TH", symTh, symEndTh},
    {"CAPTION", symCaption, symEndCaption},
    {"FORM", symForm, symEndForm},
    {"TEXTAREA", symTextarea, symEndTextarea},
    {"SELECT", symSelect, symEndSelect},
    {"OPTION", symOption, symEndOption},
    {"FONT", symFont, symEndFont},
    {"SUB", symSub, symEndSub},
    {"SUP", symSup, symEndSup},
    {"BIG", symBig, symEndBig},
    {"SMALL", symSmall, symEndSmall},
    {"P", symP, symEndP},
    {"MAP", symMap, symEndMap},
    {"FRAMESET", symFrameset, symEndFrameset},
    {"NOFRAMES", symNoframes, symEndNoframes},
    {"SCRIPT", symScript, symEndScript},
    {"DIV", symDiv, symEndDiv},
    {"S", symS, symEndS},
    {"STRIKE", symStrike, symEndStrike},
    {"TR", symTr, symEndTr},
    {"NOBR", symNobr, symEndNobr},
    {"STYLE", symStyle, symEndStyle},
    {"SPAN", symSpan, symEndSpan},
    {"COLGROUP", symColgroup, symEndColgroup},
    {"LABEL", symLabel, symEndLabel},
    {"THEAD", symThead, symEndThead},
    {"TBODY", symTbody, symEndTbody},
    {"TFOOT", symTfoot, symEndTfoot},
    {"OBJECT", symObject, symEndObject},
    {"DD", symDd, symEndDd},
    {"DT", symDt, symEndDt},
    {"LI", symLi, symEndLi},
    {"FIELDSET", symFieldset, symEndFieldset},
    {"LEGEND", symLegend, symEndLegend},
    {"BR", symBr, symUnknownTag},
    {"HR", symHr, symUnknownTag},
    {"IMG", symImg, symUnknownTag},
    {"BASE", symBase, symUnknownTag},
    {"BUTTON", symButton, symUnknownTag},
    {"INPUT", symInput, symUnknownTag},
    {"SELECTED", symSelected, symUnknownTag},
    {"BASEFONT", symBasefont, symUnknownTag},
    {"AREA", symArea, symUnknownTag},
    {"FRAME", symFrame, symUnknownTag},
    {"PAGE", symPage, symUnknownTag},
    {"BGSOUND", symBgsound, symUnknownTag},
    {"WRAP", symWrap, symUnknownTag},
    {"META", symMeta, symUnknownTag},
    {"PANEL", symPanel, symUnknownTag},
    {"WBR", symWbr, symUnknownTag},
    {"LINK", symLink, symUnknownTag},
    {"COL", symCol, symUnknownTag},
    {"PARAM", symParam, symUnknownTag},
    {"READONLY", symReadonly, symUnknownTag},
    {"HEADER", symHeader, symEndHeader},
    {"SECTION", symSection, symEndSection},
    {"NAV", symNav, symEndNav},
    {"ARTICLE", symArticle, symEndArticle},
    {"ASIDE", symAside, symEndAside},
    {"FOOTER", symFooter, symEndFooter},
    {"HGROUP", symHgroup, symEndHgroup},
    {"MARK", symMark, symEndMark},
}});

// VALUE is listed twice, with one code.
constexpr auto Attributes = Sorted(std::array<TAttributeInfo, 85>{{
    {"HREF", symHref},
    {"NAME", symName},
    {"SRC", symSrc},
    {"ALT", symAlt},
    {"ALIGN", symAlign},
    {"TEXT", symText},
    {"BGCOLOR", symBgcolor},
    {"LINK", symLink},
    {"BACKGROUND", symBackground},
    {"COLSPAN", symColspan},
    {"ROWSPAN", symRowspan},
    {"BORDER", symBorder},
    {"CELLPADDING", symCellpadding},
    {"CELLSPACING", symCellspacing},
    {"VALIGN", symValign},
    {"WIDTH", symWidth},
    {"START", symStart},
    {"VALUE", symValue},
    {"TYPE", symType},
    {"CHECKBOX", symCheckbox},
    {"RADIO", symRadio},
    {"METHOD", symMethod},
    {"ACTION", symAction},
    {"CHECKED", symChecked},
    {"SIZE", symSize},
    {"MAXLENGTH", symMaxlength},
    {"COLS", symCols},
    {"ROWS", symRows},
    {"MULTIPLE", symMultiple},
    {"VALUE", symValue},
    {"SELECTED", symSelected},
    {"FACE", symFace},
    {"COLOR", symColor},
    {"TRANSP", symTransp},
    {"CLEAR", symClear},
    {"ISMAP", symIsmap},
    {"BORDERCOLOR", symBordercolor},
    {"USEMAP", symUsemap},
    {"SHAPE", symShape},
    {"COORDS", symCoords},
    {"NOHREF", symNohref},
    {"HEIGHT", symHeight},
    {"PLAIN", symPlain},
    {"TARGET", symTarget},
    {"NORESIZE", symNoresize},
    {"SCROLLING", symScrolling},
    {"HSPACE", symHspace},
    {"LANGUAGE", symLanguage},
    {"FRAMEBORDER", symFrameborder},
    {"MARGINWIDTH", symMarginwidth},
    {"MARGINHEIGHT", symMarginheight},
    {"LOOP", symLoop},
    {"ONCLICK", symOnclick},
    {"WRAP", symWrap},
    {"NOSHADE", symNoshade},
    {"HTTP-EQUIV", symHttpEquiv},
    {"CONTENT", symContent},
    {"ENCTYPE", symEnctype},
    {"VLINK", symVlink},
    {"OLINK", symOlink},
    {"ACTIVE", symActive},
    {"VSPACE", symVspace},
    {"CLASS", symClass},
    {"ID", symId},
    {"STYLE", symStyle},
    {"REL", symRel},
    {"REV", symRev},
    {"NOWRAP", symNowrap},
    {"BORDERCOLORLIGHT", symBordercolorlight},
    {"BORDERCOLORDARK", symBordercolordark},
    {"CHARSET", symCharset},
    {"RATIO", symRatio},
    {"TITLE", symTitle},
    {"ONFOCUS", symOnfocus},
    {"ONBLUR", symOnblur},
    {"ONCHANGE", symOnchange},
    {"SPAN", symSpan},
    {"TABINDEX", symTabindex},
    {"BGPROPERTIES", symBgproperties},
    {"DISABLED", symDisabled},
    {"TOPMARGIN", symTopmargin},
    {"LEFTMARGIN", symLeftmargin},
    {"LABEL", symLabel},
    {"READONLY", symReadonly},
    {"MEDIA", symMedia},
}});

template <typename Row, std::size_t N>
const Row* Find(const std::array<Row, N>& rows, u16v name)
{
    // Names are ASCII; anything else cannot match.
    char key[24];
    if (name.empty() || name.size() > sizeof key)
        return nullptr;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] >= 0x80)
            return nullptr;
        key[i] = char(name[i]);
    }
    std::string_view k(key, name.size());
    auto it = std::lower_bound(rows.begin(), rows.end(), k, [](const Row& r, std::string_view v) { return NameLess(r.Name, v); });
    return (it != rows.end() && it->Name == k) ? &*it : nullptr;
}

struct TDerivedTables {
    std::array<u16, 256> Names;
    std::array<THtmlSymbol, 256> Ends;

    TDerivedTables()
    {
        Ends.fill(symUnknownTag);
        auto lower = [](std::string_view n) {
            u16 s;
            for (char c : n)
                s.push_back(LowerAscii(char16_t(c)));
            return s;
        };
        for (const auto& a : Attributes)
            Names[a.Symbol] = lower(a.Name);
        for (const auto& t : Tags) {
            Names[t.Start] = lower(t.Name);
            Ends[t.Start] = t.End;
            if (t.End != symUnknownTag) {
                Names[t.End] = lower(t.Name);
                Ends[t.End] = t.End;
            }
        }
    }
};

const TDerivedTables& Derived()
{
    static const TDerivedTables tables;
    return tables;
}

} // namespace

const TTagInfo* FindTag(u16v upperName) { return Find(Tags, upperName); }
const TAttributeInfo* FindAttribute(u16v upperName) { return Find(Attributes, upperName); }
std::span<const TTagInfo> TagTable() { return Tags; }
std::span<const TAttributeInfo> AttributeTable() { return Attributes; }
const u16& SymbolName(THtmlSymbol symbol) { return Derived().Names[symbol]; }
THtmlSymbol EndSymbolOf(THtmlSymbol symbol) { return Derived().Ends[symbol]; }

} // namespace lantern
