// The viewer control: the one widget through which the application drives the engine. It keeps the published
// settings, the page on show with its buffer, the history and visited lists, and brackets every load with the
// Processing and Loading flags.
//
// The class spans one source file per concern: HtmlViewer.cpp (creation, properties, engine callbacks),
// HtmlViewerLoad.cpp (loading, history, visited links, the document seam), HtmlViewerScroll.cpp (layout
// driving, scrolling), HtmlViewerPaint.cpp (the background and the page painted), HtmlViewerPointer.cpp
// (hover, links, selection by the pointer) and HtmlViewerFind.cpp (find, selected text, clipboard); the surface
// is TPaintPanel.
#pragma once

#include "common/Colors.h"
#include "common/Exceptions.h"
#include "common/Str.h"
#include "common/Types.h"
#include "platform/Canvas.h"
#include "layout/Sections.h"
#include "style/Properties.h"

#include <QPoint>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <istream>
#include <memory>
#include <vector>

class QFrame;
class QScrollBar;
class QTimer;

namespace lantern {

class TBuffer;
class TFormControlObj;
class TImageObj;
class TUrlTarget;
class TPaintPanel;
class ThtDocument;

// A file or link that names no existing file.
class EhtLoadError : public EhtException {
public:
    using EhtException::EhtException;
};

// Raised only by printing, which this system does not do; kept so the family is complete.
class EIllegalArgument : public EhtException {
public:
    using EhtException::EhtException;
};

enum class DocType : std::uint8_t { dtHtml, dtText, dtImage, dtOther };

// The kind of a document by its extension (".htm" and friends, pictures, ".txt", anything else).
DocType DocTypeOfName(u16v Name);

enum class THtQuirksMode : std::uint8_t { qmDetect, qmStandards, qmQuirks };
enum class THTMLBorderStyle : std::uint8_t { htFocused, htNone, htSingle };
enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

// Bit order matters: the set is stored as these bits.
enum class THtmlViewerOption : std::uint8_t {
    htOverLinksActive,
    htNoLinkUnderline,
    htPrintTableBackground,
    htPrintBackground,
    htPrintMonochromeBlack,
    htShowDummyCaret,
    htShowVScroll,
    htNoWheelMouse,
    htNoLinkHilite,
    htNoFocusRect,
};

class THtmlViewerOptions {
public:
    constexpr THtmlViewerOptions() = default;
    constexpr THtmlViewerOptions(std::initializer_list<THtmlViewerOption> options)
    {
        for (auto o : options)
            Bits |= Bit(o);
    }
    constexpr bool Has(THtmlViewerOption o) const { return (Bits & Bit(o)) != 0; }
    constexpr THtmlViewerOptions With(THtmlViewerOption o) const { return FromBits(Bits | Bit(o)); }
    constexpr THtmlViewerOptions Without(THtmlViewerOption o) const { return FromBits(Bits & ~Bit(o)); }
    constexpr std::uint16_t ToBits() const { return Bits; }
    static constexpr THtmlViewerOptions FromBits(std::uint16_t bits)
    {
        THtmlViewerOptions r;
        r.Bits = bits;
        return r;
    }
    friend constexpr bool operator==(THtmlViewerOptions, THtmlViewerOptions) = default;

private:
    static constexpr std::uint16_t Bit(THtmlViewerOption o) { return std::uint16_t(1u << unsigned(o)); }
    std::uint16_t Bits = 0;
};

// Cursor numbers of the control's Cursor property.
inline constexpr int crDefault = 0;
inline constexpr int crArrow = -2;
inline constexpr int crIBeam = -4;
inline constexpr int crHourGlass = -11;
inline constexpr int crHandPoint = -21;

// The values of the forms of one page, one list per form, kept with a history entry.
using TFormValueList = std::vector<std::vector<u16>>;

// One history position.
struct PositionObj {
    int Pos = 0; // encoded scroll position
    lantern::DocType DocType = lantern::DocType::dtHtml;
    std::unique_ptr<TFormValueList> FormValues;
};

// Handed to OnRightClick for one call.
struct TRightClickParameters {
    u16 LinkUrl;
    u16 LinkTarget;
    TImageObj* PictureObject = nullptr; // not owned
    int PictureX = 0;
    int PictureY = 0;
    u16 WordUnderPointer;
};

// The page's background picture as the images layer loaded it. The picture and its mask are borrowed from the
// image cache, which keeps them for as long as the page is on show.
struct TBackgroundPicture {
    const platform::Bitmap* Picture = nullptr;
    const platform::Mask* Mask = nullptr; // the transparent parts, or none
    TBackgroundPlacement Placement;
};

class THtmlViewer : public QWidget {
    Q_OBJECT

public:
    explicit THtmlViewer(QWidget* parent = nullptr);
    ~THtmlViewer() override;

    // ---- Loading
    void ShowFile(u16v FileName, DocType Kind);
    void ShowString(u16v Text, u16v Name, DocType Kind);
    // Shows Stream from its start; pictures and other non-text kinds become a one-picture page.
    void ShowStream(u16v Name, std::istream& Stream, DocType Kind);
    // Shows a prepared buffer; the control takes it over.
    void LoadDocument(std::unique_ptr<TBuffer> Document, u16v Name, DocType Kind);
    void ClearView();
    void RefreshDocument();
    u16 ExpandLinkName(u16v Name);
    bool JumpToAnchor(u16v Name);
    // The whole text of the page's buffer, empty when there is none.
    u16 DocumentSource() const;

    bool IsProcessing() const { return FProcessing; }
    bool IsLoading() const { return FLoading; }

    // ---- Element display (display values: 0 unassigned, 1 block, 2 inline, ..., 6 none)
    int ElementDisplay(u16v Id) const;
    void SetElementDisplay(u16v Id, int Display);
    void ApplyDisplayChanges();

    // ---- History and visited links (most recent first)
    const std::vector<u16>& History() const { return FHistory; }
    const std::vector<u16>& HistoryTitles() const { return FHistoryTitles; }
    const std::vector<std::unique_ptr<PositionObj>>& HistoryPositions() const { return FHistoryPositions; }
    int HistoryCursor() const { return FHistoryCursor; }
    void EmptyHistory();
    const std::vector<u16>& Visited() const { return FVisited; }
    void AddVisited(u16v Url);

    // ---- The page on show
    const u16& CurrentPath() const { return FCurrentPath; }
    DocType CurrentDocType() const { return FCurrentDocType; }
    const u16& PageTitle() const { return FPageTitle; }
    const u16& Base() const { return FBase; }
    const u16& BaseTarget() const { return FBaseTarget; }
    bool UseQuirks() const { return FUseQuirks; }
    const TBuffer* Buffer() const { return FBuffer.get(); }
    const u16& HotUrl() const { return FHotUrl; }
    const u16& HotTarget() const { return FHotTarget; }
    const u16& HotTitle() const { return FHotTitle; }

    // ---- Layout driving and scrolling
    // Lays the page out in the room the control has, deciding on the vertical bar, and arranges the children.
    void LayOutNow();
    // Lays out again at the same place; refused while Processing.
    void Relayout();
    // The page's extent from the last layout; the scroll width is capped at 6000.
    int DocHeight() const { return FDocHeight; }
    int DocWidth() const { return FDocWidth; }
    // The view's place relative to the section at its top, so that it survives a layout at another width; what
    // history entries and reloads keep.
    int ScrollPosition() const;
    void SetScrollPosition(int Value);
    int VScrollPos() const;
    void SetVScrollPos(int Y);
    int HScrollPos() const;
    void SetHScrollPos(int X);
    void VScrollTo(int Y);
    // Keyboard and wheel scrolling; the control's key and wheel events come here.
    void KeyDown(int Key, Qt::KeyboardModifiers Shift);
    bool DoMouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos);
    // Whether the next layout first assumes a vertical bar (>= 0) or none: one guess for every viewer of the
    // process, learnt from the pages laid out so far.
    static int VBarBias() { return FVBarBias; }
    static void SetVBarBias(int Value) { FVBarBias = Value; }

    // ---- The document and the child windows
    ThtDocument& Document() const { return *FDocument; }
    TPaintPanel& PaintPanel() const { return *FPaintPanel; }
    QFrame& FramePanel() const { return *FFramePanel; }
    QScrollBar& VertBar() const { return *FVertBar; }
    QScrollBar& HorzBar() const { return *FHorzBar; }
    // The colour the surface is filled with under the page: the document's background.
    Color PaintColor() const { return FPaintColor; }
    // The page within R of the surface: its background and the document from its view top. What every paint of
    // the surface draws, and what an off-screen rendering draws band by band.
    void PaintPage(platform::PaintCanvas& Canvas, const Rect& R);
    // The document's notice that the page's background colour is now Value.
    void BackgroundColorChanged(Color Value);
    // The images layer hands the page's background picture over once it has loaded it; a new page starts
    // without one.
    void SetBackgroundPicture(const TBackgroundPicture& Value);
    // True while the page's background picture stays put as the page scrolls, so scrolling repaints everything.
    bool BackgroundFixed() const { return FBackgroundFixed; }

    // ---- Engine callbacks (the document builder and the image loader call these)
    void HandleMeta(u16v HttpEq, u16v Name, u16v Content);
    void ProgressStep(int Percent);
    std::istream* ImageStreamFor(u16v Src);
    bool LinksTakeFocus() const { return !FHtOptions.Has(THtmlViewerOption::htNoFocusRect); }

    // ---- Published properties
    THTMLBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(THTMLBorderStyle Value);
    // The font charset of the page's defaults; any but the default one also names the code page of pages that
    // declare none. Takes effect with the next load.
    int CharSet() const { return FCharSet; }
    void SetCharSet(int Value) { FCharSet = Value; }
    int Cursor() const { return FCursor; }
    void SetCursor(int Value);
    Color DefBackground() const { return FDefBackground; }
    void SetDefBackground(Color Value);
    Color DefFontColor() const { return FDefFontColor; }
    void SetDefFontColor(Color Value) { FDefFontColor = Value; }
    const u16& DefFontName() const { return FDefFontName; }
    void SetDefFontName(u16v Value) { FDefFontName = Value; }
    int DefFontSize() const { return FDefFontSize; }
    void SetDefFontSize(int Value) { FDefFontSize = Value; }
    Color DefHotSpotColor() const { return FDefHotSpotColor; }
    void SetDefHotSpotColor(Color Value);
    Color DefOverLinkColor() const { return FDefOverLinkColor; }
    void SetDefOverLinkColor(Color Value);
    const u16& DefPreFontName() const { return FDefPreFontName; }
    void SetDefPreFontName(u16v Value);
    Color DefVisitedLinkColor() const { return FDefVisitedLinkColor; }
    void SetDefVisitedLinkColor(Color Value);
    int HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int Value);
    THtmlViewerOptions HtOptions() const { return FHtOptions; }
    void SetHtOptions(THtmlViewerOptions Value);
    int ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int Value);
    int MarginHeight() const { return FMarginHeight; }
    void SetMarginHeight(int Value) { FMarginHeight = Value; }
    int MarginWidth() const { return FMarginWidth; }
    void SetMarginWidth(int Value) { FMarginWidth = Value; }
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool Value);
    double PrintMarginBottom() const { return FPrintMarginBottom; }
    void SetPrintMarginBottom(double Value) { FPrintMarginBottom = Value; }
    double PrintMarginLeft() const { return FPrintMarginLeft; }
    void SetPrintMarginLeft(double Value) { FPrintMarginLeft = Value; }
    double PrintMarginRight() const { return FPrintMarginRight; }
    void SetPrintMarginRight(double Value) { FPrintMarginRight = Value; }
    double PrintMarginTop() const { return FPrintMarginTop; }
    void SetPrintMarginTop(double Value) { FPrintMarginTop = Value; }
    int PrintMaxHPages() const { return FPrintMaxHPages; }
    void SetPrintMaxHPages(int Value) { FPrintMaxHPages = Value; }
    double PrintScale() const { return FPrintScale; }
    void SetPrintScale(double Value) { FPrintScale = Value; }
    THtQuirksMode QuirksMode() const { return FQuirksMode; }
    void SetQuirksMode(THtQuirksMode Value) { FQuirksMode = Value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    const u16& ServerRoot() const { return FServerRoot; }
    void SetServerRoot(u16v Value);
    bool ViewImages() const;
    void SetViewImages(bool Value);
    int VisitedMaxCount() const { return FVisitedMaxCount; }
    void SetVisitedMaxCount(int Value);
    // The selection [SelStart, SelEnd) of the document; none when SelStart >= SelEnd.
    int SelStart() const;
    int SelEnd() const;

    // ---- Pointer, hover and selection (HtmlViewerPointer.cpp). Coordinates are paint-surface pixels; the
    // surface's mouse events come here.
    void PanelMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void PanelMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y);
    void PanelMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void DoubleClick(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // The pointer left the surface: the hover ends as the hover timer would end it.
    void PanelLeft();
    // The word under a surface point: Before is one before its first character, After one past its last.
    bool WordAt(int X, int Y, u16& Word, int& After, int& Before);
    int CaretPos() const { return FCaretPos; }
    void SetCaretPos(int Value) { FCaretPos = std::max(Value, 0); }
    const u16& HotLinkText() const { return FHotLinkText; }
    const u16& HotLinkAttributes() const { return FHotLinkAttributes; }
    int HotLinkX() const { return FHotLinkX; }
    int HotLinkY() const { return FHotLinkY; }

    // ---- Find, selected text and clipboard (HtmlViewerFind.cpp)
    void SelectAllText();
    bool SearchText(u16v Text, bool MatchCase, bool Backwards);
    u16 SelectionText();
    void CopyToClipboard();
    // The selection as the clipboard's HTML fragment: its header, then the page's source cut around the
    // selection; empty without a selection.
    std::string SelectionAsHtmlFragment();

    // ---- Events (each may be empty)
    std::function<void(THtmlViewer& Sender, const u16& SRC, bool& Handled)> OnHotSpotClick;
    std::function<void(THtmlViewer& Sender, const u16& SRC)> OnHotSpotCovered;
    std::function<void(THtmlViewer& Sender, const TRightClickParameters& Parameters)> OnRightClick;
    std::function<void(THtmlViewer& Sender, TImageObj* Obj, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                       int X, int Y)>
        OnImageClick;
    std::function<void(THtmlViewer& Sender, TImageObj* Obj, Qt::KeyboardModifiers Shift, int X, int Y)> OnImageOver;
    std::function<void(THtmlViewer& Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
        OnMouseDouble;
    std::function<void(THtmlViewer& Sender, TProgressStage Stage, int PercentDone)> OnProgress;
    std::function<void(THtmlViewer& Sender, bool ProcessingOn)> OnProcessing;
    std::function<void(THtmlViewer& Sender, std::unique_ptr<TBuffer>& Source)> OnParseBegin;
    std::function<void(THtmlViewer& Sender)> OnParseEnd;
    std::function<void(THtmlViewer& Sender)> OnHistoryChange;
    std::function<void(THtmlViewer& Sender, u16& Filename)> OnFilenameExpanded;
    std::function<void(THtmlViewer& Sender, const u16& HttpEq, const u16& Name, const u16& Content)> OnMeta;
    std::function<void(THtmlViewer& Sender, int Delay, const u16& URL)> OnMetaRefresh;
    std::function<void(THtmlViewer& Sender, const u16& Action, const u16& Target, const u16& EncType,
                       const u16& Method, const std::vector<u16>& Results)>
        OnFormSubmit;
    // The handler may point Stream at data it keeps alive until the next call.
    std::function<void(THtmlViewer& Sender, const u16& SRC, std::istream*& Stream)> OnImageRequest;
    std::function<void(THtmlViewer& Sender, const u16& Rel, const u16& Rev, const u16& Href)> OnLink;
    std::function<void(THtmlViewer& Sender, const u16& Command, const std::vector<u16>& Params,
                       std::unique_ptr<TBuffer>& IncludedDocument)>
        OnInclude;
    std::function<void(THtmlViewer& Sender, const u16& SRC, int Loop, bool Terminate)> OnSoundRequest;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class TPaintPanel;

    // Pointer phases (HtmlViewerPointer.cpp)
    THitKinds LinkAt(int X, int Y, u16& Title, TFormControlObj*& Control, std::unique_ptr<TUrlTarget>& Link);
    u16 LinkTextOf(int SourceStart, int SourceEnd);
    bool PictureAt(int X, int Y, TImageObj*& Picture, int& PictureX, int& PictureY);
    void TakeLink(const TUrlTarget& Link);
    void ExtendSelectionTo(int X, int Y);
    int CaretAt(int X, int Y, bool& InsideText);
    void SetSelection(int A, int B);
    bool SelectSectionAt(int X, int Y);
    void SetSurfaceCursor(int Value);
    QTimer& HoverTimer();
    void HoverTimerTick();
    void EndHover();
    void AutoScrollLoop();
    void FollowLink();

    // The widest a page scrolls, and the clip width it paints with.
    static constexpr int MaxScrollWidth = 6000;

    // Sizes and scroll-bar decisions for a document of a given extent.
    struct TGeometry {
        int Offset = 0; // of the paint surface inside the control (half the frame)
        int Frame = 0;  // frame thickness, both sides together
        int ClientW = 0;
        int ClientH = 0;
        bool ShowH = false;
        bool ShowV = false;
    };

    void LoadPageFile(u16v FileName, DocType Kind);
    void DecodeUndeclaredInCharSet(TBuffer& Buffer) const;
    void FinishLoad();
    void PrepareDocument();
    void ResetDocument();
    void ClearDocumentFor(bool Quirks);
    void PushHistory(const u16& OldName, const u16& OldTitle, DocType OldKind,
                     std::unique_ptr<TFormValueList> OldFormValues, int OldPos);
    void MarkVisitedLinks();
    void SetProcessing(bool Value);
    // Ends a Processing bracket that failed: the end of progress when it was begun, painting on, Processing off.
    void EndFailedBracket(bool ReportEnd);
    void FireProgress(TProgressStage Stage, int Percent);
    void FireStopSound();
    TGeometry ComputeGeometry(int W, int H) const;
    void LayOutDocumentAt(int W, int H);
    bool DecideVerticalBar(const TGeometry& Room);
    void ArrangeChildren();
    static void ArrangeBar(QScrollBar& Bar, bool Shown, int Room, int Extent);
    // How a new view top reaches the surface: by moving the pixels already there and painting the strip they
    // uncover, or by painting everything again.
    enum class TViewMove : std::uint8_t { MovePixels, Repaint };
    void MoveViewTop(int Y, TViewMove How);
    void VScrolled(int ScrollPos);
    int ClampViewTop(int Y) const;
    void UpdateBorder();
    void PaintBackgroundPicture(platform::PaintCanvas& Canvas, const Rect& R);
    void ParseDocument(DocType Kind);
    void HandDocumentSettings();
    // The document's pictures reach files, the host's streams and the surface through these.
    void ConnectDocumentImages();
    // The page's form controls get their widgets on the surface, and their events reach the host through these.
    void ConnectDocumentForms();
    // Tab goes through the controls with a TABINDEX first, in its order, then through the others as they stand.
    void ArrangeFormTabOrder();
    void LoadBackgroundPicture();
    std::unique_ptr<TFormValueList> DocumentFormValues() const;

    // The document and the children
    std::unique_ptr<ThtDocument> FDocument;
    platform::Canvas FMeasureCanvas; // layout measures on it
    QFrame* FFramePanel = nullptr;
    TPaintPanel* FPaintPanel = nullptr;
    QTimer* FAnimationTimer = nullptr; // steps the page's animated pictures
    QScrollBar* FVertBar = nullptr;
    QScrollBar* FHorzBar = nullptr;
    int FScrollBarWidth = 0;
    Color FPaintColor = 0; // the paint surface's colour: the page's background
    TBackgroundPicture FBackground;
    int FWheelRemainder = 0; // the part of a notch that fine-grained wheels have turned so far
    static inline int FVBarBias = 0;

    // The page on show
    std::unique_ptr<TBuffer> FBuffer;
    u16 FCurrentPath;
    DocType FCurrentDocType = DocType::dtHtml;
    u16 FPageTitle;
    u16 FBase;
    u16 FBaseTarget;
    bool FUseQuirks = false;
    std::istream* FStreamAsImage = nullptr; // not owned
    int FDocHeight = 0;
    int FDocWidth = 0;

    // History and visited links
    std::vector<u16> FHistory;
    std::vector<u16> FHistoryTitles;
    std::vector<std::unique_ptr<PositionObj>> FHistoryPositions;
    int FHistoryCursor = 0;
    std::vector<u16> FVisited;
    int FPendingRefreshDelay = 0;
    u16 FPendingRefreshUrl;

    // Pointer state
    u16 FHotUrl;
    u16 FHotTarget;
    u16 FHotTitle;
    int FCaretPos = 0;
    int FSelAnchor = -1;
    u16 FHotLinkText;
    u16 FHotLinkAttributes;
    int FHotLinkX = 0;
    int FHotLinkY = 0;
    QTimer* FHoverTimer = nullptr; // made at the first hover
    bool FLeftDown = false;
    bool FDragSelectAllowed = false;
    bool FPanning = false;
    bool FAutoScrolling = false;
    bool FLinkClicked = false;
    int FPanStartY = 0;
    // Where and when the last double click was, so that a third click soon after on the same spot is known.
    QPoint FDoubleClickAt;
    qint64 FDoubleClickTime = -1;

    // Flags
    bool FBackgroundFixed = false;
    bool FLoading = false;
    bool FCreating = false;
    bool FProcessing = false;
    bool FOwnsImageCache = false;

    // Published settings
    THTMLBorderStyle FBorderStyle = THTMLBorderStyle::htFocused;
    int FCharSet = 1;
    int FCursor = crIBeam;
    Color FDefBackground = clBtnFace;
    Color FDefFontColor = clBtnText;
    u16 FDefFontName = u"Times New Roman";
    int FDefFontSize = 12;
    Color FDefHotSpotColor = MakeColor(0, 0, 0xFF); // blue
    Color FDefOverLinkColor = MakeColor(0, 0, 0xFF);
    u16 FDefPreFontName = u"Courier New";
    Color FDefVisitedLinkColor = MakeColor(0x80, 0, 0x80); // purple
    int FHistoryMaxCount = 0;
    THtmlViewerOptions FHtOptions{THtmlViewerOption::htPrintTableBackground,
                                  THtmlViewerOption::htPrintMonochromeBlack};
    int FImageCacheCount = 5;
    int FMarginHeight = 5;
    int FMarginWidth = 10;
    bool FNoSelect = false;
    double FPrintMarginBottom = 2.0;
    double FPrintMarginLeft = 2.0;
    double FPrintMarginRight = 2.0;
    double FPrintMarginTop = 2.0;
    int FPrintMaxHPages = 2;
    double FPrintScale = 1.0;
    THtQuirksMode FQuirksMode = THtQuirksMode::qmDetect;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    u16 FServerRoot;
    int FVisitedMaxCount = 50;
};

} // namespace lantern
