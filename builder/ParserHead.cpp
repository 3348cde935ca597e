// The elements that configure the document or hand content to the host rather than to layout: title, base,
// meta (and with it a change of the page's charset), linked style sheets, style elements, scripts, background
// sounds, image maps and embedded objects. They may stand anywhere in the page, head or body.
#include "builder/Parser.h"

#include "layout/Document.h"
#include "layout/Maps.h"
#include "markup/Buffer.h"
#include "platform/FileSystem.h"
#include "style/CssParser.h"
#include "style/StyleList.h"

namespace lantern {

namespace {

const u16& ValueOf(const TAttributeList& attributes, THtmlSymbol symbol)
{
    static const u16 none;
    const TAttribute* a = attributes.Find(symbol);
    return a ? a->Value : none;
}

u16 FolderOf(u16v path)
{
    const std::size_t end = path.find_last_of(u"/\\");
    return end == u16v::npos ? u16() : u16(path.substr(0, end + 1));
}

} // namespace

// The title is the text between the tags, its references decoded and its white space collapsed as in the
// page's text; the range it came from is kept as well.
void THtmlParser::ParseTitle()
{
    TitleStart = TitleEnd = SourcePos();
    NextSymbol();
    u16 text;
    while (Sy() == symText) {
        text += Token().AsString();
        TitleEnd = SourcePos();
        NextSymbol();
    }
    FTitle = Trim(text);
}

void THtmlParser::ParseBase()
{
    if (const TAttribute* href = Attributes().Find(symHref))
        FBaseUrl = href->Value;
    if (const TAttribute* target = Attributes().Find(symTarget))
        FBaseTarget = target->Value;
    NextSymbol();
}

// A content type switches the decoding from here on, unless a byte-order mark locked it; the charset name is
// found inside text such as "text/html; charset=gb2312".
void THtmlParser::ParseMeta()
{
    const TAttributeList& a = Attributes();
    u16 httpEquiv = ValueOf(a, symHttpEquiv);
    const u16 name = ValueOf(a, symName);
    u16 content = ValueOf(a, symContent);
    if (!a.Find(symContent))
        if (const TAttribute* charset = a.Find(symCharset)) {
            httpEquiv = u"content-type";
            content = charset->Value;
        }
    if (SameTextAscii(httpEquiv, u"content-type"))
        SwitchCharset(content);
    if (Host.HandleMeta)
        Host.HandleMeta(httpEquiv, name, content);
    NextSymbol();
}

// The character after the declaring tag was read before the switch: it is read again in the new decoding, so
// that the first character of the text after a META is not the one character left in the old code page.
bool THtmlParser::SwitchCharset(u16v name)
{
    TBuffer& buffer = Buffer();
    const int before = buffer.CodePage();
    if (!Doc.PropStack.SwitchCharset(name, buffer))
        return false;
    if (buffer.CodePage() != before)
        RereadCurrentChar();
    return true;
}

void THtmlParser::RereadCurrentChar()
{
    // Inside an included page the source position is the including page's: the character stays as read.
    if (IncludeDepth() == 0 && LCh() != 0 && SourcePos() >= 0) {
        Buffer().SetPosition(SourcePos());
        AdvanceChar();
    }
}

void THtmlParser::ParseLink()
{
    const TAttributeList& a = Attributes();
    const u16 href = ValueOf(a, symHref);
    const u16 rel = ValueOf(a, symRel);
    const u16 rev = ValueOf(a, symRev);
    const TAttribute* media = a.Find(symMedia);
    const bool forScreen =
        !media || media->Value.find(u"screen") != u16::npos || media->Value.find(u"all") != u16::npos;
    if (SameTextAscii(rel, u"stylesheet") && forScreen && a.Find(symHref))
        LoadLinkedStyleSheet(href);
    if (Host.OnLink)
        Host.OnLink(rel, rev, href);
    NextSymbol();
}

// A sheet that cannot be found, read or parsed is left out; the page goes on without it.
void THtmlParser::LoadLinkedStyleSheet(const u16& href)
{
    try {
        std::unique_ptr<TBuffer> sheet;
        u16 base;
        if (Host.OnStreamRequest)
            sheet = Host.OnStreamRequest(href);
        if (!sheet) {
            const u16 path = Host.ExpandLinkName ? Host.ExpandLinkName(href) : href;
            if (path.empty() || path[0] != u'/')
                return;
            const std::optional<u16> located = platform::LocateFile(path);
            if (!located)
                return;
            std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFile(*located);
            if (!bytes)
                return;
            sheet = TBuffer::CreateFromBytes(std::move(*bytes), href);
            base = FolderOf(*located);
        }
        char16_t ch = u' ';
        ParseStyleSheet(*Doc.Styles, ch, *sheet, Quirks, true, base);
    } catch (const std::exception&) {
    }
}

// The sheet is read straight from the page's buffer, from the ">" of the tag to the "<" of the end tag, which is
// handed back to the tokenizer.
void THtmlParser::ParseStyleElement()
{
    char16_t ch = LCh();
    int position = 0;
    ParseStyleSheet(*Doc.Styles, ch, Buffer(), Quirks, false, {}, &position);
    SetLCh(ch, position);
    NextSymbol();
}

// Leaves the SCRIPT end symbol (or the end of the text) current. Without a host that runs scripts the content
// is passed over.
void THtmlParser::ParseScript()
{
    if (!Host.OnScript) {
        AdvanceChar();
        do
            ReadScriptSymbol();
        while (Sy() != symEndScript && Sy() != symEndOfFile);
        return;
    }
    const TAttributeList attributes = Attributes();
    RawMode = true;
    AdvanceChar();
    u16 script;
    for (ReadScriptSymbol(); Sy() != symEndScript && Sy() != symEndOfFile; ReadScriptSymbol())
        script += Sy() == symLineEnd ? u16(u"\r\n") : Token().AsString();
    RawMode = false;
    const u16& type = attributes.Find(symType) ? ValueOf(attributes, symType) : ValueOf(attributes, symLanguage);
    Host.OnScript(ValueOf(attributes, symName), type, ValueOf(attributes, symSrc), script);
}

void THtmlParser::ParseBackgroundSound()
{
    if (const TAttribute* src = Attributes().Find(symSrc); src && Host.OnSoundRequest) {
        const TAttribute* loop = Attributes().Find(symLoop);
        Host.OnSoundRequest(src->Value, loop ? loop->IntValue : 1, false);
    }
    NextSymbol();
}

// Leaves /MAP, the end of the text, or the symbol after three strays current. Only a map closed by /MAP joins
// the document's maps.
void THtmlParser::ParseMap()
{
    constexpr int MaxStrays = 3;
    const TAttribute* name = Attributes().Find(symName);
    auto map = std::make_unique<TMapItem>(name ? UpperAscii(TrimView(name->Value)) : u16());
    NextSymbol();
    int strays = 0;
    while (Sy() != symEndMap && Sy() != symEndOfFile) {
        if (Sy() == symArea)
            map->AppendArea(Attributes());
        else if (Sy() != symText && ++strays >= MaxStrays)
            break;
        NextSymbol();
    }
    if (Sy() == symEndMap)
        Doc.MapList.push_back(std::move(map));
}

// Leaves the OBJECT tag current. The host decides whether an object becomes a panel; until panels can be
// placed there is nothing to offer it, so the object shows its fallback content, as it does for a host
// without an object handler.
void THtmlParser::ParseObject() {}

} // namespace lantern
