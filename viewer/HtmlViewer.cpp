// The viewer control's creation, its published properties, the engine's callbacks and the Processing bracket.
// Loading and history live in HtmlViewerLoad.cpp, layout driving and scrolling in HtmlViewerScroll.cpp, painting
// in HtmlViewerPaint.cpp.
#include "viewer/HtmlViewer.h"

#include "images/ImageLoader.h"
#include "layout/Document.h"
#include "markup/Buffer.h"
#include "viewer/PaintPanel.h"
#include "viewer/WaitCursor.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace lantern {

// ---- Creation

THtmlViewer::THtmlViewer(QWidget* parent) : QWidget(parent)
{
    FCreating = true;
    resize(150, 150);
    setFocusPolicy(Qt::ClickFocus);

    FDocument = std::make_unique<ThtDocument>();
    FDocument->OnProgress = [this](int percent) { ProgressStep(percent); };

    FFramePanel = new QFrame(this);
    FFramePanel->setFrameStyle(QFrame::NoFrame);
    FFramePanel->setGeometry(rect());

    FPaintPanel = new TPaintPanel(*this);
    FPaintColor = FDefBackground;

    FVertBar = new QScrollBar(Qt::Vertical, this);
    FVertBar->setSingleStep(16);
    FVertBar->setFocusPolicy(Qt::NoFocus);
    FVertBar->hide();
    FHorzBar = new QScrollBar(Qt::Horizontal, this);
    FHorzBar->setSingleStep(15);
    FHorzBar->setFocusPolicy(Qt::NoFocus);
    FHorzBar->hide();
    FScrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FVertBar);
    // The view follows the vertical bar however it moves; the programmatic moves set the view top first, so only
    // the user's moves arrive here as a change.
    connect(FVertBar, &QScrollBar::valueChanged, this, &THtmlViewer::VScrolled);
    connect(FHorzBar, &QScrollBar::valueChanged, FPaintPanel, qOverload<>(&QWidget::update));
    FDocument->Invalidate = [this] { FPaintPanel->update(); };
    ConnectDocumentImages();
    ConnectDocumentForms();
    FDocument->OnBackgroundChange = [this](Color value) { BackgroundColorChanged(value); };

    SetCursor(crIBeam);
    ArrangeChildren();
    FCreating = false;
}

THtmlViewer::~THtmlViewer() = default;

void THtmlViewer::ConnectDocumentImages()
{
    ThtDocument& doc = *FDocument;
    // A data url is the picture itself: expanded as a file name relative to the page, it named no file.
    doc.ImageHost.ExpandSourceName = [this](u16v source) {
        return IsDataImageUrl(source) ? u16(source) : ExpandLinkName(source);
    };
    doc.ImageHost.StreamRequest = [this](u16v source) { return ImageStreamFor(source); };
    doc.ImageCache.SetMaxAge(FImageCacheCount);
    doc.InvalidateRect = [this](const Rect& r) { FPaintPanel->update(r.left, r.top, r.Width(), r.Height()); };
    doc.LeftButtonDown = [] { return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton); };
    FAnimationTimer = new QTimer(this);
    connect(FAnimationTimer, &QTimer::timeout, this, [this] { FDocument->AnimateTick(); });
    doc.OnAnimationTimer = [this](bool enabled, int interval) {
        if (enabled)
            FAnimationTimer->start(interval);
        else
            FAnimationTimer->stop();
    };
}

// ---- Engine callbacks

void THtmlViewer::HandleMeta(u16v HttpEq, u16v Name, u16v Content)
{
    if (OnMeta)
        OnMeta(*this, u16(HttpEq), u16(Name), u16(Content));
    if (!OnMetaRefresh || !SameTextAscii(HttpEq, u"refresh"))
        return;
    const int delay = TryStrToInt(TrimLeftView(Content.substr(0, Content.find(u';')))).value_or(-1);
    if (delay < 0)
        return;
    const std::size_t url = LowerAscii(Content).find(u"url=");
    FPendingRefreshUrl = url == u16::npos ? u16() : u16(Content.substr(url + 4));
    FPendingRefreshDelay = delay == 0 ? 1 : delay;
}

void THtmlViewer::ProgressStep(int Percent) { FireProgress(TProgressStage::psRunning, Percent); }

std::istream* THtmlViewer::ImageStreamFor(u16v Src)
{
    if (FStreamAsImage)
        return FStreamAsImage;
    std::istream* stream = nullptr;
    if (OnImageRequest)
        OnImageRequest(*this, u16(Src), stream);
    return stream;
}

// ---- Published properties

void THtmlViewer::SetBorderStyle(THTMLBorderStyle Value)
{
    FBorderStyle = Value;
    UpdateBorder();
}

void THtmlViewer::SetCursor(int Value)
{
    FCursor = Value == 2 ? crIBeam : Value;
    SetSurfaceCursor(FCursor);
}

void THtmlViewer::SetDefBackground(Color Value)
{
    if (FProcessing)
        return;
    FDefBackground = Value;
    // The document's background colour takes the value here too, without its change notice.
    FPaintColor = Value;
    update();
}

void THtmlViewer::SetDefHotSpotColor(Color Value)
{
    FDefHotSpotColor = Value;
    HandDocumentSettings();
}

void THtmlViewer::SetDefOverLinkColor(Color Value)
{
    FDefOverLinkColor = Value;
    HandDocumentSettings();
}

void THtmlViewer::SetDefVisitedLinkColor(Color Value)
{
    FDefVisitedLinkColor = Value;
    HandDocumentSettings();
}

void THtmlViewer::SetDefPreFontName(u16v Value)
{
    FDefPreFontName = Value;
    HandDocumentSettings();
}

void THtmlViewer::SetHistoryMaxCount(int Value)
{
    if (Value < 0 || Value == FHistoryMaxCount)
        return;
    if (Value < FHistoryMaxCount)
        EmptyHistory();
    FHistoryMaxCount = Value;
}

void THtmlViewer::SetHtOptions(THtmlViewerOptions Value)
{
    if (Value == FHtOptions)
        return;
    FHtOptions = Value;
    HandDocumentSettings();
}

void THtmlViewer::SetImageCacheCount(int Value)
{
    FImageCacheCount = std::clamp(Value, 0, 20);
    FDocument->ImageCache.SetMaxAge(FImageCacheCount);
}

void THtmlViewer::SetNoSelect(bool Value)
{
    if (Value && !FNoSelect) {
        FDocument->SelStart = FDocument->SelEnd = 0;
        update();
    }
    FNoSelect = Value;
}

void THtmlViewer::SetScrollBars(TScrollStyle Value)
{
    FScrollBars = Value;
    if (FCreating || !testAttribute(Qt::WA_WState_Created))
        return;
    try {
        SetProcessing(true);
        LayOutNow();
    } catch (...) {
        EndFailedBracket(false);
        throw;
    }
    SetProcessing(false);
    update();
}

void THtmlViewer::SetServerRoot(u16v Value)
{
    u16 root = Trim(Value);
    if (!root.empty() && (root.back() == u'/' || root.back() == u'\\'))
        root.pop_back();
    FServerRoot = root;
}

bool THtmlViewer::ViewImages() const { return FDocument->ShowImages; }

void THtmlViewer::SetViewImages(bool Value)
{
    if (FProcessing || Value == FDocument->ShowImages)
        return;
    TWaitCursor hourglass;
    try {
        SetProcessing(true);
        FDocument->ShowImages = Value;
        if (!FDocument->Empty()) {
            // Pictures shown or hidden change the page's extent, so it is laid out again at the same place.
            LoadBackgroundPicture();
            const int pos = ScrollPosition();
            LayOutNow();
            SetScrollPosition(pos);
            FPaintPanel->update();
        }
    } catch (...) {
        EndFailedBracket(false);
        throw;
    }
    SetProcessing(false);
}

void THtmlViewer::SetVisitedMaxCount(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FVisitedMaxCount)
        return;
    FVisitedMaxCount = Value;
    if (Value > 0) {
        if (FVisited.size() > std::size_t(Value))
            FVisited.resize(std::size_t(Value));
        return;
    }
    FVisited.clear();
    // Every link run of the document loses its visited state here.
    update();
}

// ---- Widget events

void THtmlViewer::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    UpdateBorder();
}

void THtmlViewer::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    UpdateBorder();
}

// ---- Private phases

void THtmlViewer::SetProcessing(bool Value)
{
    if (FProcessing == Value)
        return;
    FProcessing = Value;
    if (OnProcessing)
        OnProcessing(*this, Value);
}

// The first error is the one that passes on: a handler failing again here must not leave the control Processing,
// refusing every later load and layout.
void THtmlViewer::EndFailedBracket(bool ReportEnd)
{
    if (ReportEnd) {
        try {
            FireProgress(TProgressStage::psEnding, 100);
        } catch (...) {
        }
    }
    FLoading = false;
    try {
        SetProcessing(false);
    } catch (...) {
    }
}

void THtmlViewer::FireProgress(TProgressStage Stage, int Percent)
{
    if (OnProgress)
        OnProgress(*this, Stage, Percent);
}

void THtmlViewer::FireStopSound()
{
    if (OnSoundRequest)
        OnSoundRequest(*this, u16(), 0, true);
}

} // namespace lantern
