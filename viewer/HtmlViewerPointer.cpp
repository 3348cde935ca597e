// The pointer over the page: hovering links, following them, selecting text by dragging, Shift-click, double and
// triple click, middle-button panning and scrolling while a drag runs past an edge.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "common/UrlSubs.h"
#include "layout/FontRuns.h"
#include "layout/FormControls.h"
#include "layout/ImageObj.h"
#include "viewer/PaintPanel.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QThread>
#include <QTimer>

#include <cstdlib>

namespace lantern {

namespace {

// The cursors of panning: armed, scrolling up and scrolling down.
constexpr int crPanArmed = 10103;
constexpr int crPanUp = 10104;
constexpr int crPanDown = 10105;

constexpr int HoverCheckInterval = 200; // ms
constexpr int AutoScrollInterval = 100; // ms between steps of the scroll loop
constexpr int PanDeadZone = 20;         // pixels the pointer moves from where panning started before it scrolls
constexpr int TripleClickSlop = 4;      // pixels a third click may lie from the double click

// Digits, ASCII letters and everything from '?' up: underscores, brackets and all non-ASCII text join words,
// blanks, parentheses and the punctuation below '?' part them.
bool IsWordChar(char16_t Ch)
{
    return (Ch >= u'0' && Ch <= u'9') || (Ch >= u'A' && Ch <= u'Z') || (Ch >= u'a' && Ch <= u'z') || Ch >= 0x3F;
}

} // namespace

int THtmlViewer::SelStart() const { return FDocument->SelStart; }
int THtmlViewer::SelEnd() const { return FDocument->SelEnd; }

// ---- The surface's events

void TPaintPanel::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FViewer.PanelMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FViewer.PanelMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FViewer.PanelMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    FViewer.DoubleClick(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    FViewer.PanelLeft();
}

// ---- Pressing, moving, releasing

void THtmlViewer::PanelMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    setFocus(Qt::MouseFocusReason);
    FLinkClicked = false;
    if (FPanning) {
        FPanning = false;
        FAutoScrolling = false;
        SetSurfaceCursor(FCursor);
        return;
    }
    if (Button == Qt::MiddleButton && !FHtOptions.Has(THtmlViewerOption::htNoWheelMouse)) {
        FPanning = true;
        FPanStartY = Y;
        SetSurfaceCursor(crPanArmed);
        return;
    }
    if (Button != Qt::LeftButton)
        return;
    FLeftDown = true;
    FDocument->SetImagePressed(true);
    if (SelectSectionAt(X, Y))
        return;
    FDragSelectAllowed = true;
    if (FHtOptions.Has(THtmlViewerOption::htNoLinkHilite)) {
        u16 title;
        TFormControlObj* control = nullptr;
        std::unique_ptr<TUrlTarget> link;
        if (LinkAt(X, Y, title, control, link) & hkLink)
            FDragSelectAllowed = false;
    }
    bool inside = false;
    FSelAnchor = CaretAt(X, Y, inside);
    if (FSelAnchor < 0)
        return;
    if (FDocument->SelStart < FDocument->SelEnd || (Shift & Qt::ShiftModifier))
        FPaintPanel->update();
    if (Shift & Qt::ShiftModifier) {
        SetSelection(FCaretPos, FSelAnchor);
    } else {
        FDocument->SelStart = FDocument->SelEnd = FSelAnchor;
        FCaretPos = FSelAnchor;
    }
}

void THtmlViewer::PanelMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (FPanning) {
        if (!FAutoScrolling && std::abs(Y - FPanStartY) > PanDeadZone) {
            FAutoScrolling = true;
            QMetaObject::invokeMethod(this, [this] { AutoScrollLoop(); }, Qt::QueuedConnection);
        }
        return;
    }
    int cursor = crArrow;
    FHotTitle.clear();
    TFormControlObj* control = nullptr;
    std::unique_ptr<TUrlTarget> link;
    const THitKinds hit = LinkAt(X, Y, FHotTitle, control, link);
    u16 url, target;
    if (hit & hkLink) {
        cursor = crHandPoint;
        url = link->Url;
        target = link->Target;
        FHotLinkAttributes = link->Attributes;
        FHotLinkText = LinkTextOf(link->FirstPos, link->LastPos);
    } else if (hit & hkControl) {
        cursor = crHandPoint;
    }
    TImageObj* picture = nullptr;
    int pictureX = 0, pictureY = 0;
    if ((OnImageClick || OnImageOver) && PictureAt(X, Y, picture, pictureX, pictureY)) {
        if (OnImageOver)
            OnImageOver(*this, picture, Shift, pictureX, pictureY);
    } else if (cursor != crHandPoint) {
        bool inside = false;
        if (CaretAt(X, Y, inside) >= 0 && inside)
            cursor = FCursor;
    }
    SetSurfaceCursor(cursor);
    if (cursor == crHandPoint || FDocument->HoveredRun)
        HoverTimer().start();
    else
        HoverTimer().stop();
    if (url != FHotUrl || target != FHotTarget) {
        FHotUrl = url;
        FHotTarget = target;
        if (OnHotSpotCovered)
            OnHotSpotCovered(*this, FHotUrl);
    }
    if (Buttons & Qt::LeftButton) {
        if (!FAutoScrolling && (Y <= 0 || Y >= height())) {
            FAutoScrolling = true;
            QMetaObject::invokeMethod(this, [this] { AutoScrollLoop(); }, Qt::QueuedConnection);
        }
        if (!FNoSelect)
            ExtendSelectionTo(X, Y);
    }
}

void THtmlViewer::PanelMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (FPanning) {
        // A middle click that did not move arms panning; moving then scrolls and the next press ends it.
        if (!(Button == Qt::MiddleButton && Y == FPanStartY)) {
            FPanning = false;
            SetSurfaceCursor(FCursor);
        }
        return;
    }
    TImageObj* picture = nullptr;
    int pictureX = 0, pictureY = 0;
    if (OnImageClick || OnRightClick) {
        if (PictureAt(X, Y, picture, pictureX, pictureY) && OnImageClick)
            OnImageClick(*this, picture, Button, Shift, pictureX, pictureY);
    }
    if (Button == Qt::RightButton && OnRightClick) {
        TRightClickParameters parameters;
        parameters.PictureObject = picture;
        if (picture) {
            parameters.PictureX = pictureX;
            parameters.PictureY = pictureY;
        }
        FHotTitle.clear();
        TFormControlObj* control = nullptr;
        std::unique_ptr<TUrlTarget> link;
        if (LinkAt(X, Y, FHotTitle, control, link) & hkLink) {
            parameters.LinkUrl = link->Url;
            parameters.LinkTarget = link->Target;
        }
        int after = 0, before = 0;
        WordAt(X, Y, parameters.WordUnderPointer, after, before);
        // The menu the handler opens holds the pointer; the hover must not end under it.
        const bool hovering = FHoverTimer && FHoverTimer->isActive();
        if (hovering)
            FHoverTimer->stop();
        struct RestartAtEnd {
            QTimer* Timer;
            ~RestartAtEnd()
            {
                if (Timer)
                    Timer->start();
            }
        } restart{hovering ? FHoverTimer : nullptr};
        OnRightClick(*this, parameters);
        return;
    }
    if (Button != Qt::LeftButton || (Shift & Qt::ShiftModifier))
        return;
    FAutoScrolling = false;
    ExtendSelectionTo(X, Y);
    FDragSelectAllowed = false;
    FDocument->SetImagePressed(false);
    const bool wasDown = FLeftDown;
    FLeftDown = false;
    if (!wasDown || FDocument->SelEnd > FDocument->SelStart)
        return;
    TFormControlObj* control = nullptr;
    std::unique_ptr<TUrlTarget> link;
    const THitKinds hit = LinkAt(X, Y, FHotTitle, control, link);
    if (hit & hkControl) {
        // An image input's picture is clicked as its control, at the point the hit test found inside it.
        if (auto* input = dynamic_cast<TImageFormControlObj*>(control))
            input->ImageClicked(input->PointerX, input->PointerY);
        return;
    }
    if (!(hit & hkLink))
        return;
    FHotUrl = link->Url;
    FHotTarget = link->Target;
    FHotLinkAttributes = link->Attributes;
    FHotLinkText = LinkTextOf(link->FirstPos, link->LastPos);
    FLinkClicked = true;
    FollowLink();
}

void THtmlViewer::DoubleClick(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (Button != Qt::LeftButton)
        return;
    FDocument->SetImagePressed(true);
    FDoubleClickAt = QPoint(X, Y);
    FDoubleClickTime = QDateTime::currentMSecsSinceEpoch();
    if (!FLinkClicked && !FProcessing && !FNoSelect) {
        u16 word;
        int after = 0, before = 0;
        if (WordAt(X, Y, word, after, before)) {
            FDocument->SelStart = before + 1;
            FDocument->SelEnd = after;
            FCaretPos = before + 1;
            FPaintPanel->update();
        }
    }
    if (OnMouseDouble)
        OnMouseDouble(*this, Qt::LeftButton, Shift, X, Y);
}

// ---- Selection

void THtmlViewer::ExtendSelectionTo(int X, int Y)
{
    if (!FDragSelectAllowed || FSelAnchor < 0)
        return;
    bool inside = false;
    const int p = CaretAt(X, std::clamp(Y, 0, height()), inside);
    if (p < 0)
        return;
    if (!FNoSelect) {
        SetSelection(FSelAnchor, p);
        FPaintPanel->update();
    }
    FCaretPos = p;
}

void THtmlViewer::SetSelection(int A, int B)
{
    FDocument->SelStart = std::min(A, B);
    FDocument->SelEnd = std::max(A, B);
}

// A third click soon after a double click selects the whole paragraph the word was in; dragging on from it
// does not shrink it again.
bool THtmlViewer::SelectSectionAt(int X, int Y)
{
    const qint64 since = QDateTime::currentMSecsSinceEpoch() - FDoubleClickTime;
    const bool third = FDoubleClickTime >= 0 && since <= QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
                       (QPoint(X, Y) - FDoubleClickAt).manhattanLength() <= TripleClickSlop;
    FDoubleClickTime = -1;
    if (!third || FNoSelect)
        return false;
    bool inside = false;
    const int p = CaretAt(X, Y, inside);
    char16_t ch = 0;
    const TSectionBase* section = nullptr;
    if (p < 0 || !FDocument->CharAt(p, ch, section) || !section)
        return false;
    FDocument->SelStart = section->FirstChar;
    FDocument->SelEnd = section->FirstChar + section->CharCount;
    FCaretPos = FDocument->SelEnd;
    FDragSelectAllowed = false;
    FPaintPanel->update();
    return true;
}

int THtmlViewer::CaretAt(int X, int Y, bool& InsideText)
{
    int caretX = 0, caretY = 0, caretHeight = 0;
    InsideText = false;
    return FDocument->PointToCaret(FMeasureCanvas, X + HScrollPos(), Y + FDocument->ViewTop, caretX, caretY,
                                   caretHeight, InsideText);
}

bool THtmlViewer::WordAt(int X, int Y, u16& Word, int& After, int& Before)
{
    Word.clear();
    bool inside = false;
    const int p = CaretAt(X, Y, inside);
    if (p >= 0)
        FCaretPos = p;
    if (!inside)
        return false;
    After = FCaretPos;
    Before = FCaretPos - 1;
    char16_t ch = 0;
    const TSectionBase* section = nullptr;
    if (!FDocument->CharAt(After, ch, section) || !IsWordChar(ch))
        return false;
    const TSectionBase* home = section;
    // A character of another section counts as a blank.
    const auto wordCharAt = [&](int Pos) {
        const TSectionBase* s = nullptr;
        return FDocument->CharAt(Pos, ch, s) && s == home && IsWordChar(ch);
    };
    Word = ch;
    while (wordCharAt(After + 1)) {
        Word += ch;
        ++After;
    }
    ++After;
    while (Before >= 0 && wordCharAt(Before)) {
        Word.insert(Word.begin(), ch);
        --Before;
    }
    return true;
}

// ---- Links

THitKinds THtmlViewer::LinkAt(int X, int Y, u16& Title, TFormControlObj*& Control, std::unique_ptr<TUrlTarget>& Link)
{
    Control = nullptr;
    Link.reset();
    return FDocument->HitLink(FMeasureCanvas, X + HScrollPos(), Y + FDocument->ViewTop, Link, Control, Title);
}

// Only pictures count: the other floating objects (panels) are not reported to the image events.
bool THtmlViewer::PictureAt(int X, int Y, TImageObj*& Picture, int& PictureX, int& PictureY)
{
    TFloatingObj* object = nullptr;
    Picture = nullptr;
    if (FDocument->HitObject(X + HScrollPos(), Y + FDocument->ViewTop, object, PictureX, PictureY) && object)
        Picture = object->AsImage();
    return Picture != nullptr;
}

u16 THtmlViewer::LinkTextOf(int SourceStart, int SourceEnd)
{
    if (SourceStart < 0 || SourceEnd < 0 || SourceStart >= SourceEnd)
        return {};
    const int savedStart = FDocument->SelStart, savedEnd = FDocument->SelEnd;
    FDocument->SelStart = FDocument->SourceToDocPos(SourceStart, false);
    FDocument->SelEnd = FDocument->SourceToDocPos(SourceEnd, false);
    u16 text = FDocument->SelectionText();
    int x = 0, y = 0;
    if (FDocument->CaretToPoint(&FMeasureCanvas, FDocument->SelStart, x, y)) {
        FHotLinkX = x;
        FHotLinkY = y - VScrollPos();
    }
    FDocument->SelStart = savedStart;
    FDocument->SelEnd = savedEnd;
    return text;
}

void THtmlViewer::FollowLink()
{
    bool handled = false;
    if (OnHotSpotClick)
        OnHotSpotClick(*this, FHotUrl, handled);
    if (handled)
        return;
    const int pos = ScrollPosition();
    u16 name, anchor;
    SplitAnchor(FHotUrl, name, anchor);
    if (name.empty()) {
        if (JumpToAnchor(anchor))
            PushHistory(FCurrentPath, FPageTitle, FCurrentDocType, nullptr, pos);
        return;
    }
    name = ExpandLinkName(name);
    switch (const DocType kind = DocTypeOfName(name)) {
    case DocType::dtHtml:
        if (name != FCurrentPath) {
            ShowFile(name + anchor, DocType::dtHtml);
            AddVisited(name + anchor);
        } else if (JumpToAnchor(anchor)) {
            PushHistory(FCurrentPath, FPageTitle, DocType::dtHtml, nullptr, pos);
        }
        break;
    case DocType::dtText:
    case DocType::dtImage:
        ShowFile(name + anchor, kind);
        break;
    case DocType::dtOther:
        break;
    }
}

// ---- Hover

QTimer& THtmlViewer::HoverTimer()
{
    if (!FHoverTimer) {
        FHoverTimer = new QTimer(this);
        FHoverTimer->setInterval(HoverCheckInterval);
        connect(FHoverTimer, &QTimer::timeout, this, [this] { HoverTimerTick(); });
    }
    return *FHoverTimer;
}

// The surface hears no move once the pointer is over another window; the timer notices that it left.
void THtmlViewer::HoverTimerTick()
{
    if (QApplication::widgetAt(QCursor::pos()) == FPaintPanel)
        return;
    EndHover();
}

// A drag that leaves the surface keeps its hover: the pointer is held by the surface until the release.
void THtmlViewer::PanelLeft()
{
    if (!FPanning && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        EndHover();
}

void THtmlViewer::EndHover()
{
    FDocument->ClearHover();
    if (FHoverTimer)
        FHoverTimer->stop();
    if (FHotUrl.empty())
        return;
    FHotUrl.clear();
    FHotTarget.clear();
    if (OnHotSpotCovered)
        OnHotSpotCovered(*this, FHotUrl);
}

void THtmlViewer::SetSurfaceCursor(int Value)
{
    switch (Value) {
    case crHourGlass:
        FPaintPanel->setCursor(Qt::WaitCursor);
        break;
    case crHandPoint:
        FPaintPanel->setCursor(Qt::PointingHandCursor);
        break;
    case crIBeam:
        FPaintPanel->setCursor(Qt::IBeamCursor);
        break;
    case crPanArmed:
        FPaintPanel->setCursor(Qt::SizeVerCursor);
        break;
    case crPanUp:
    case crPanDown:
        FPaintPanel->setCursor(Qt::UpArrowCursor);
        break;
    case crArrow:
        FPaintPanel->setCursor(Qt::ArrowCursor);
        break;
    default:
        FPaintPanel->unsetCursor();
        break;
    }
}

// ---- Scrolling while dragging past an edge, and panning

void THtmlViewer::AutoScrollLoop()
{
    const auto pointerY = [this] { return FPaintPanel->mapFromGlobal(QCursor::pos()).y(); };
    const auto pointerX = [this] { return FPaintPanel->mapFromGlobal(QCursor::pos()).x(); };
    int y = pointerY();
    qint64 lastStep = 0;
    const auto running = [&] {
        return (FAutoScrolling && FLeftDown && (y <= 0 || y > height())) ||
               (FPanning && std::abs(y - FPanStartY) > PanDeadZone);
    };
    const int small = FVertBar->singleStep();
    while (running() && FDocument) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - lastStep >= AutoScrollInterval) {
            lastStep = now;
            const int position = VScrollPos();
            int next = position;
            if (FPanning) {
                int d = y - FPanStartY;
                if (d > 0) {
                    d -= 16;
                    SetSurfaceCursor(crPanDown);
                } else {
                    d += 16;
                    SetSurfaceCursor(crPanUp);
                }
                next = position + d / 4;
            } else if (y < -15) {
                next = position - 8 * small;
            } else if (y <= 0) {
                next = position - small;
            } else if (y > height() + 15) {
                next = position + 8 * small;
            } else {
                next = position + small;
            }
            next = std::clamp(next, 0, std::max(0, FDocHeight - FPaintPanel->height()));
            FDocument->SetViewTop(next);
            VScrollTo(next);
            ExtendSelectionTo(pointerX(), y);
            FPaintPanel->update();
            y = pointerY();
        }
        for (int round = 0; round < 4; ++round)
            QCoreApplication::processEvents();
        QThread::msleep(5); // the loop waits for the pointer; it need not spin
        y = pointerY();
    }
    FAutoScrolling = false;
    if (FPanning)
        SetSurfaceCursor(crPanArmed);
}

} // namespace lantern
