// The viewer control's loading path: from a file, stream or text to a parsed and laid-out page; the history and
// the visited links; the seam where the document is built.
#include "viewer/HtmlViewer.h"

#include "builder/Parser.h"

#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "markup/Tokenizer.h"
#include "platform/FileSystem.h"
#include "viewer/PaintPanel.h"
#include "viewer/WaitCursor.h"
#include "common/UrlSubs.h"
#include "layout/Block.h"
#include "layout/Document.h"
#include "style/Lengths.h"
#include "style/StyleList.h"

#include <QCursor>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>

namespace lantern {

namespace {

constexpr std::size_t npos = u16::npos;

u16 CantLocate(u16v path) { return u"Can't locate '" + u16(path) + u"'."; }

} // namespace

DocType DocTypeOfName(u16v Name)
{
    std::size_t folderEnd = Name.find_last_of(u"/\\:");
    std::size_t dot = Name.rfind(u'.');
    u16 ext;
    if (dot != npos && (folderEnd == npos || dot > folderEnd))
        ext = LowerUnits(Name.substr(dot));

    struct Entry {
        u16v Ext;
        DocType Kind;
    };
    static constexpr std::array<Entry, 12> kinds{{
        {u".html", DocType::dtHtml},
        {u".css", DocType::dtHtml},
        {u".htm", DocType::dtHtml},
        {u".php", DocType::dtHtml},
        {u".xhtml", DocType::dtHtml},
        {u".xht", DocType::dtHtml},
        {u".gif", DocType::dtImage},
        {u".jpg", DocType::dtImage},
        {u".jpeg", DocType::dtImage},
        {u".png", DocType::dtImage},
        {u".bmp", DocType::dtImage},
        {u".txt", DocType::dtText},
    }};
    for (const Entry& e : kinds)
        if (e.Ext == ext)
            return e.Kind;
    return DocType::dtOther;
}

// ---- Loading

void THtmlViewer::ShowFile(u16v FileName, DocType Kind)
{
    if (FProcessing || FileName.empty())
        return;
    const u16 oldPath = FCurrentPath;
    const u16 oldTitle = FPageTitle;
    const int oldPos = ScrollPosition();
    const DocType oldKind = FCurrentDocType;
    std::unique_ptr<TFormValueList> oldFormValues = DocumentFormValues();

    LoadPageFile(FileName, Kind);

    if (FCurrentPath != oldPath || FCurrentDocType != oldKind)
        PushHistory(oldPath, oldTitle, oldKind, std::move(oldFormValues), oldPos);
}

void THtmlViewer::LoadPageFile(u16v FileName, DocType Kind)
{
    u16 file, anchor;
    SplitAnchor(FileName, file, anchor);
    if (!file.empty()) {
        // Links written for another file system may separate folders with '\'.
        std::replace(file.begin(), file.end(), u'\\', u'/');
        file = platform::FullPath(file);
    }
    // CurrentPath names the new page only once it is loaded (LoadDocument compares it with the page on show to
    // decide whether the view starts at the top), or when the page cannot be found.
    auto cantLocate = [&] {
        FCurrentPath = file;
        return EhtLoadError(ToUtf8(CantLocate(file)));
    };
    std::optional<u16> located = file.empty() ? std::nullopt : platform::LocateFile(file);
    if (!located)
        throw cantLocate();
    std::optional<std::vector<std::uint8_t>> bytes = platform::ReadWholeFile(*located);
    if (!bytes)
        throw cantLocate();

    std::istringstream stream(std::string(bytes->begin(), bytes->end()));
    ShowStream(*located + anchor, stream, Kind);
}

void THtmlViewer::ShowStream(u16v Name, std::istream& Stream, DocType Kind)
{
    if (FProcessing)
        return;
    Stream.clear();
    Stream.seekg(0);
    if (Kind == DocType::dtImage || Kind == DocType::dtOther) {
        // A picture is shown as a page holding just that picture; its data comes back through ImageStreamFor.
        FStreamAsImage = &Stream;
        try {
            const u16 page = u"<img src=\"" + u16(Name) + u"\">";
            LoadDocument(TBuffer::CreateFromString(page, Name), Name, DocType::dtHtml);
        } catch (...) {
            FStreamAsImage = nullptr;
            throw;
        }
        FStreamAsImage = nullptr;
        // The page is kept as the picture it shows, so a refresh or a return through the history loads the file
        // as a picture again instead of reading its bytes as HTML.
        FCurrentDocType = Kind;
        return;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>()};
    std::unique_ptr<TBuffer> buffer = TBuffer::CreateFromBytes(std::move(bytes), Name);
    DecodeUndeclaredInCharSet(*buffer);
    LoadDocument(std::move(buffer), Name, Kind);
}

// A CharSet other than the default one says what the pages shown were written in (a help file's language,
// say), so a page that declares nothing (no byte-order mark, not UTF-8) decodes in its code page rather than
// in the user's. The buffer stays open to a charset the page declares later.
void THtmlViewer::DecodeUndeclaredInCharSet(TBuffer& Buffer) const
{
    if (FCharSet == DEFAULT_CHARSET || Buffer.CodePageLocked() || Buffer.CodePage() != CP_ACP)
        return;
    if (HoldsWellFormedUtf8(Buffer.Bytes())) {
        Buffer.SetCodePage(CP_UTF8);
        return;
    }
    int codePage = CP_ACP;
    try {
        codePage = CodePageOfCharSet(FCharSet);
    } catch (const EConversionError&) {
        return; // a charset without a code page of its own leaves the user's
    }
    Buffer.SetCharSet(FCharSet);
    Buffer.SetCodePage(codePage);
}

void THtmlViewer::ShowString(u16v Text, u16v Name, DocType Kind)
{
    if (FProcessing)
        return;
    LoadDocument(TBuffer::CreateFromString(Text, Name), Name, Kind);
}

void THtmlViewer::LoadDocument(std::unique_ptr<TBuffer> Document, u16v Name, DocType Kind)
{
    if (FProcessing)
        return;
    u16 name, anchor;
    SplitAnchor(Name, name, anchor);
    if (Kind == DocType::dtImage)
        throw EhtException("LoadDocument with DocType = 'ImgType' not supported.");
    if (!Document)
        throw EhtException("LoadDocument requires document to load. Parameter 'Document' must not be nil.");

    const u16 oldPath = FCurrentPath;
    bool progressStarted = false;
    try {
        SetProcessing(true);
        TWaitCursor hourglass;
        FLoading = true;
        FPendingRefreshDelay = 0;
        FDocument->ProgressBase = 75; // parsing reports 0..75 %, layout the rest
        FireProgress(TProgressStage::psStarting, 0);
        progressStarted = true;

        if (Kind != DocType::dtHtml)
            FUseQuirks = false;
        else if (FQuirksMode == THtQuirksMode::qmDetect)
            FUseQuirks = DetectQuirks(*Document); // from the DOCTYPE
        else
            FUseQuirks = FQuirksMode == THtQuirksMode::qmQuirks;
        PrepareDocument();
        FCaretPos = 0;
        FSelAnchor = -1;
        FireStopSound();

        FBuffer = std::move(Document);
        FCurrentPath = name;
        FCurrentDocType = Kind;
        if (OnParseBegin)
            OnParseBegin(*this, FBuffer);

        ParseDocument(Kind);
        if (OnParseEnd)
            OnParseEnd(*this);
        LoadBackgroundPicture();
        LayOutNow();
        MarkVisitedLinks();

        // A reload of the same page without an anchor keeps its scroll position.
        if (!JumpToAnchor(anchor) && (FCurrentPath.empty() || FCurrentPath != oldPath)) {
            VScrollTo(0);
            SetHScrollPos(0);
        }
        progressStarted = false; // the end is reported once, even when its handler fails
        FinishLoad();
    } catch (...) {
        if (progressStarted)
            FPaintPanel->update();
        EndFailedBracket(progressStarted);
        throw;
    }
    SetProcessing(false);

    if (FPendingRefreshDelay > 0 && OnMetaRefresh)
        OnMetaRefresh(*this, FPendingRefreshDelay, FPendingRefreshUrl);
}

void THtmlViewer::FinishLoad()
{
    FPaintPanel->update();
    FireProgress(TProgressStage::psEnding, 100);
    FLoading = false;
    // A progress handler that lets painting happen paints nothing while Loading: the page is asked for again.
    FPaintPanel->update();
}

void THtmlViewer::ClearView()
{
    if (FProcessing)
        return;
    ResetDocument();
    FBase.clear();
    FBaseTarget.clear();
    FPageTitle.clear();
    FVertBar->hide();
    FHorzBar->hide();
    FCaretPos = 0;
    FSelAnchor = -1;
    FireStopSound();
    // An empty page has no extent to scroll through.
    FDocHeight = FDocWidth = 0;
    VScrollTo(0);
    SetHScrollPos(0);
    update();
}

void THtmlViewer::RefreshDocument()
{
    if (FCurrentPath.empty())
        return;
    const int pos = ScrollPosition();
    DocType kind = DocType::dtImage;
    if (FCurrentDocType == DocType::dtHtml || FCurrentDocType == DocType::dtText)
        kind = FCurrentDocType;
    ShowFile(FCurrentPath, kind);
    SetScrollPosition(pos);
}

u16 THtmlViewer::ExpandLinkName(u16v Name)
{
    u16 result;
    const std::size_t scheme = Name.find(u"://");
    const bool local = scheme == npos || scheme == 0 || LowerAscii(Name).find(u"file://") != npos;
    if (local) {
        result = UrlToDosPathWithRoot(Name, FServerRoot);
        if (!result.empty() && result[0] == u'/') {
            result = platform::FullPath(result);
        } else if (result.size() >= 2 && result[1] == u':') {
            // A drive-letter path: nothing here can make it fuller.
        } else if (SameTextAscii(FBase, u"DosPath")) {
            // The page asked for its links to stay relative.
        } else if (!FBase.empty()) {
            result = JoinDosPath(UrlToDosPath(FBase), result);
        } else {
            const std::size_t folderEnd = FCurrentPath.find_last_of(u"/:");
            const u16 folder = folderEnd == npos ? u16() : FCurrentPath.substr(0, folderEnd + 1);
            result = platform::FullPath(folder + result);
        }
    } else {
        result = Name;
    }
    if (OnFilenameExpanded)
        OnFilenameExpanded(*this, result);
    return result;
}

bool THtmlViewer::JumpToAnchor(u16v Name)
{
    if (Name.empty())
        return false;
    if (Name.front() == u'#')
        Name.remove_prefix(1);
    const TIDObject* target = FDocument->IdTable.Find(Name); // ids compare ignoring ASCII case
    if (!target)
        return false;
    VScrollTo(target->AnchorY());
    SetHScrollPos(0);
    AddVisited(FCurrentPath + u'#' + u16(Name));
    return true;
}

u16 THtmlViewer::DocumentSource() const
{
    if (!FBuffer)
        return {};
    const TBuffer::TReadState saved = FBuffer->SaveState();
    FBuffer->SetPosition(0);
    u16 text = FBuffer->ReadToEnd();
    FBuffer->RestoreState(saved);
    return text;
}

// ---- Element display

int THtmlViewer::ElementDisplay(u16v Id) const
{
    const auto* block = dynamic_cast<const TBlock*>(FDocument->IdTable.Find(Id));
    return block ? block->DisplayKind : 0;
}

void THtmlViewer::SetElementDisplay(u16v Id, int Display)
{
    auto* block = dynamic_cast<TBlock*>(FDocument->IdTable.Find(Id));
    if (block && block->DisplayKind != Display)
        block->DisplayKind = static_cast<std::uint8_t>(Display);
}

void THtmlViewer::ApplyDisplayChanges()
{
    Relayout();
    repaint();
    // Moving the pointer to where it is makes the hover state be computed again for the new layout.
    QCursor::setPos(QCursor::pos());
}

// ---- History and visited links

void THtmlViewer::PushHistory(const u16& OldName, const u16& OldTitle, DocType OldKind,
                              std::unique_ptr<TFormValueList> OldFormValues, int OldPos)
{
    if (FHistoryMaxCount < 1 || FCurrentPath.empty() ||
        (OldName == FCurrentPath && OldKind == FCurrentDocType && OldPos == ScrollPosition()))
        return;
    if (!FHistory.empty() && !OldName.empty()) {
        // The entry being left keeps where the reader was, so going back returns there.
        const std::size_t c = std::size_t(FHistoryCursor);
        FHistory[c] = OldName;
        FHistoryTitles[c] = OldTitle;
        PositionObj& entry = *FHistoryPositions[c];
        entry.Pos = OldPos;
        entry.DocType = OldKind;
        if (OldName != FCurrentPath)
            entry.FormValues = std::move(OldFormValues);
        FHistory.erase(FHistory.begin(), FHistory.begin() + FHistoryCursor);
        FHistoryTitles.erase(FHistoryTitles.begin(), FHistoryTitles.begin() + FHistoryCursor);
        FHistoryPositions.erase(FHistoryPositions.begin(), FHistoryPositions.begin() + FHistoryCursor);
    }
    FHistoryCursor = 0;
    FHistory.insert(FHistory.begin(), FCurrentPath);
    FHistoryTitles.insert(FHistoryTitles.begin(), FPageTitle);
    auto entry = std::make_unique<PositionObj>();
    entry->Pos = ScrollPosition();
    entry->DocType = FCurrentDocType;
    FHistoryPositions.insert(FHistoryPositions.begin(), std::move(entry));
    if (FHistory.size() > std::size_t(FHistoryMaxCount)) {
        FHistory.erase(FHistory.begin() + FHistoryMaxCount);
        FHistoryTitles.erase(FHistoryTitles.begin() + FHistoryMaxCount);
        FHistoryPositions.erase(FHistoryPositions.begin() + FHistoryMaxCount);
    }
    if (OnHistoryChange)
        OnHistoryChange(*this);
}

void THtmlViewer::EmptyHistory()
{
    const bool hadEntries = !FHistory.empty();
    FHistory.clear();
    FHistoryTitles.clear();
    FHistoryPositions.clear();
    FHistoryCursor = 0;
    FCurrentPath.clear();
    if (hadEntries && OnHistoryChange)
        OnHistoryChange(*this);
}

void THtmlViewer::AddVisited(u16v UrlIn)
{
    if (FVisitedMaxCount == 0 || (!FVisited.empty() && FVisited.front() == UrlIn))
        return;
    // A copy: the caller may name an entry of the list itself, which the erase below moves or frees.
    u16 url(UrlIn);
    auto it = std::find(FVisited.begin(), FVisited.end(), url);
    if (it != FVisited.end()) {
        FVisited.erase(it);
    } else {
        // Every link run of the document whose full target equals the URL is marked visited here.
    }
    FVisited.insert(FVisited.begin(), std::move(url));
    if (FVisited.size() > std::size_t(FVisitedMaxCount))
        FVisited.resize(std::size_t(FVisitedMaxCount));
}

void THtmlViewer::MarkVisitedLinks()
{
    // After every parse, each link run whose full target equals a Visited entry (ignoring ASCII case) is marked
    // visited here, once the document has link runs.
}

// ---- The document seam

void THtmlViewer::PrepareDocument()
{
    ClearDocumentFor(FUseQuirks);
    FDocument->ImageCache.PurgeImages(); // a new page begins: pictures no page used for long go
    HandDocumentSettings();
}

void THtmlViewer::ResetDocument()
{
    ClearDocumentFor(FUseQuirks);
    FDocument->ImageCache.Clear();
    HandDocumentSettings();
}

void THtmlViewer::ClearDocumentFor(bool Quirks)
{
    FDocument->Quirks = Quirks; // before clearing: the style store takes it from there
    FDocument->PropStack.Quirks = Quirks;
    FDocument->ClearDocument();
    // A new page shows the default background until its own colour or picture is known.
    FBackground = {};
    FPaintColor = FDefBackground;
}

void THtmlViewer::HandDocumentSettings()
{
    ThtDocument& doc = *FDocument;
    // Zooming out may take the setting to 0 or below; text then shows at the smallest size, never vanishes.
    const int fontSize = std::max(1, FDefFontSize);
    doc.Styles->BuildDefaultSheet(FDefFontName, FDefPreFontName, FMarginWidth, FMarginHeight, FCharSet,
                                  !FHtOptions.Has(THtmlViewerOption::htNoLinkUnderline), FDefOverLinkColor,
                                  FDefVisitedLinkColor, FDefHotSpotColor, FDefFontColor, fontSize);
    SetFontSizeSteps(fontSize);
    doc.PreFontName = FDefPreFontName;
    doc.LinksReactToHover = FHtOptions.Has(THtmlViewerOption::htOverLinksActive);
    doc.PageColor = FDefBackground;
}

void THtmlViewer::ParseDocument(DocType Kind)
{
    TParserHost host;
    host.HandleMeta = [this](const u16& httpEquiv, const u16& name, const u16& content) {
        HandleMeta(httpEquiv, name, content);
    };
    if (OnLink)
        host.OnLink = [this](const u16& rel, const u16& rev, const u16& href) { OnLink(*this, rel, rev, href); };
    if (OnSoundRequest)
        host.OnSoundRequest = [this](const u16& src, int loop, bool stop) { OnSoundRequest(*this, src, loop, stop); };
    if (OnInclude)
        host.OnInclude = [this](const u16& command, const std::vector<u16>& params) {
            std::unique_ptr<TBuffer> included;
            OnInclude(*this, command, params, included);
            return included;
        };
    host.ExpandLinkName = [this](u16v name) { return ExpandLinkName(name); };
    host.OnProgress = [this](int percent) { ProgressStep(percent); };
    host.ProgressBase = FDocument->ProgressBase;
    host.MarginWidth = FMarginWidth;
    host.MarginHeight = FMarginHeight;
    THtmlParser parser(*FBuffer, *FDocument, std::move(host));
    if (Kind == DocType::dtHtml)
        parser.ParseHtml();
    else
        parser.ParseText();
    FPageTitle = parser.Title();
    FBase = parser.BaseUrl();
    FBaseTarget = parser.BaseTarget();
}

std::unique_ptr<TFormValueList> THtmlViewer::DocumentFormValues() const
{
    return FDocument->FormValues();
}

} // namespace lantern
