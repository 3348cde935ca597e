#include "viewer/FormWidgets.h"

#include "platform/Canvas.h"
#include "platform/Font.h"
#include "style/Fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace lantern {

namespace {

QString Q(u16v s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
u16 U(const QString& s) { return s.toStdU16String(); }

QWidget* MakeNative(TWidgetKind kind, QWidget& surface)
{
    switch (kind) {
    case TWidgetKind::Edit: return new QLineEdit(&surface);
    case TWidgetKind::Password: {
        auto* edit = new QLineEdit(&surface);
        edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    case TWidgetKind::Button: return new QPushButton(&surface);
    case TWidgetKind::FocusButton: {
        auto* button = new QPushButton(&surface);
        button->setFlat(true);
        return button;
    }
    case TWidgetKind::CheckBox: return new QCheckBox(&surface);
    case TWidgetKind::RadioButton: {
        // The form keeps the groups: every radio of the page shares the surface as its parent.
        auto* radio = new QRadioButton(&surface);
        radio->setAutoExclusive(false);
        return radio;
    }
    case TWidgetKind::ListBox: return new QListWidget(&surface);
    case TWidgetKind::MultiListBox: {
        auto* list = new QListWidget(&surface);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return list;
    }
    case TWidgetKind::ComboBox: return new QComboBox(&surface);
    case TWidgetKind::Memo: return new QPlainTextEdit(&surface);
    }
    return new QWidget(&surface);
}

// The engine's key codes for the keys it reacts to; 0 for the rest.
int EngineKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return: case Qt::Key_Enter: return VkReturn;
    case Qt::Key_Left: return VkLeft;
    case Qt::Key_Up: return VkUp;
    case Qt::Key_Right: return VkRight;
    case Qt::Key_Down: return VkDown;
    default: return 0;
    }
}

} // namespace

TQtFormWidget::TQtFormWidget(TWidgetKind kind, QWidget& surface) : Kind(kind), FWidget(MakeNative(kind, surface))
{
    FWidget->hide();
    FWidget->move(OffScreen, 0);
    FWidget->installEventFilter(this);
    if (auto* button = qobject_cast<QAbstractButton*>(FWidget))
        connect(button, &QAbstractButton::clicked, this, &TQtFormWidget::Clicked);
    else if (auto* combo = qobject_cast<QComboBox*>(FWidget))
        connect(combo, qOverload<int>(&QComboBox::activated), this, &TQtFormWidget::Clicked);
    else if (auto* list = qobject_cast<QListWidget*>(FWidget))
        connect(list, &QListWidget::itemClicked, this, &TQtFormWidget::Clicked);
}

TQtFormWidget::~TQtFormWidget()
{
    delete FWidget.data();
}

void TQtFormWidget::Clicked()
{
    if (Events)
        Events->WidgetClick();
}

bool TQtFormWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FWidget || !Events)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: Events->WidgetEnter(); break;
    case QEvent::FocusOut: Events->WidgetExit(); break;
    case QEvent::KeyPress:
        if (const int key = EngineKey(*static_cast<QKeyEvent*>(event)); key != 0 && Events->WidgetKey(key))
            return true;
        break;
    default: break;
    }
    return false;
}

// --- geometry

int TQtFormWidget::Left() const { return FWidget ? FWidget->x() : OffScreen; }
int TQtFormWidget::Top() const { return FWidget ? FWidget->y() : 0; }
int TQtFormWidget::Width() const { return FWidget ? FWidget->width() : 0; }
int TQtFormWidget::Height() const { return FWidget ? FWidget->height() : 0; }

void TQtFormWidget::SetLeft(int left)
{
    if (FWidget && FWidget->x() != left)
        FWidget->move(left, FWidget->y());
}

void TQtFormWidget::SetTop(int top)
{
    if (FWidget && FWidget->y() != top)
        FWidget->move(FWidget->x(), top);
}

void TQtFormWidget::SetWidth(int width)
{
    if (FWidget)
        FWidget->setFixedWidth(std::max(width, 0));
}

void TQtFormWidget::SetHeight(int height)
{
    if (FWidget)
        FWidget->setFixedHeight(std::max(height, 0));
}

bool TQtFormWidget::Visible() const { return FWidget && !FWidget->isHidden(); }

void TQtFormWidget::Show()
{
    if (FWidget && FWidget->isHidden() && Kind != TWidgetKind::FocusButton)
        FWidget->show();
}

void TQtFormWidget::Hide()
{
    if (FWidget && !FWidget->isHidden())
        FWidget->hide();
}

// Renders without windows draw the widget as it would look, in place.
void TQtFormWidget::PaintTo(platform::PaintCanvas& canvas, int x, int y) const
{
    if (!FWidget || Kind == TWidgetKind::FocusButton)
        return;
    QPainter& painter = canvas.Native();
    painter.save();
    FWidget->ensurePolished();
    FWidget->render(&painter, QPoint(x, y), QRegion(), QWidget::DrawChildren);
    painter.restore();
}

// --- behaviour

void TQtFormWidget::SetEnabled(bool enabled)
{
    if (FWidget)
        FWidget->setEnabled(enabled);
}

void TQtFormWidget::SetReadOnly(bool readOnly)
{
    if (auto* edit = qobject_cast<QLineEdit*>(FWidget))
        edit->setReadOnly(readOnly);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(FWidget))
        memo->setReadOnly(readOnly);
}

void TQtFormWidget::SetFont(const TMyFont& font)
{
    if (FWidget && font.Handle)
        FWidget->setFont(font.Handle->QtFont());
}

void TQtFormWidget::SetColor(Color color)
{
    if (!FWidget || color == clNone)
        return;
    const Color rgb = ColorToRGB(color);
    QPalette palette = FWidget->palette();
    palette.setColor(QPalette::Base, QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)));
    FWidget->setPalette(palette);
}

bool TQtFormWidget::TabStop() const { return FWidget && (FWidget->focusPolicy() & Qt::TabFocus); }

void TQtFormWidget::SetTabStop(bool stop)
{
    if (FWidget)
        FWidget->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TQtFormWidget::Focused() const { return FWidget && FWidget->hasFocus(); }

void TQtFormWidget::SetFocus()
{
    if (FWidget)
        FWidget->setFocus(Qt::OtherFocusReason);
}

// --- value

u16 TQtFormWidget::Text() const
{
    if (auto* edit = qobject_cast<QLineEdit*>(FWidget))
        return U(edit->text());
    if (auto* memo = qobject_cast<QPlainTextEdit*>(FWidget)) {
        // Lines end in CR LF, as the page wrote them and as forms submit them.
        QString text = memo->toPlainText();
        text.replace(u'\n', QStringLiteral("\r\n"));
        return U(text);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(FWidget))
        return U(button->text());
    return {};
}

void TQtFormWidget::SetText(u16v text)
{
    QString q = Q(text);
    if (auto* edit = qobject_cast<QLineEdit*>(FWidget)) {
        edit->setText(q);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(FWidget)) {
        q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        memo->setPlainText(q);
    } else if (auto* button = qobject_cast<QAbstractButton*>(FWidget)) {
        button->setText(q);
    }
}

bool TQtFormWidget::Checked() const
{
    auto* button = qobject_cast<QAbstractButton*>(FWidget);
    return button && button->isChecked();
}

void TQtFormWidget::SetChecked(bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(FWidget))
        button->setChecked(checked);
}

void TQtFormWidget::SetItems(const std::vector<u16>& items)
{
    QStringList list;
    for (const u16& item : items)
        list.push_back(Q(item));
    if (auto* combo = qobject_cast<QComboBox*>(FWidget)) {
        combo->clear();
        combo->addItems(list);
        combo->setCurrentIndex(-1);
    } else if (auto* box = qobject_cast<QListWidget*>(FWidget)) {
        box->clear();
        box->addItems(list);
        box->setCurrentRow(-1);
        box->clearSelection();
    }
}

int TQtFormWidget::ItemCount() const
{
    if (auto* combo = qobject_cast<QComboBox*>(FWidget))
        return combo->count();
    if (auto* box = qobject_cast<QListWidget*>(FWidget))
        return box->count();
    return 0;
}

int TQtFormWidget::ItemIndex() const
{
    if (auto* combo = qobject_cast<QComboBox*>(FWidget))
        return combo->currentIndex();
    if (auto* box = qobject_cast<QListWidget*>(FWidget))
        return box->currentRow();
    return -1;
}

void TQtFormWidget::SetItemIndex(int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(FWidget)) {
        combo->setCurrentIndex(index);
    } else if (auto* box = qobject_cast<QListWidget*>(FWidget)) {
        // In a multiple list the current item is only where the keyboard is; in a single one it is the choice.
        if (Kind == TWidgetKind::MultiListBox)
            box->setCurrentRow(index, QItemSelectionModel::NoUpdate);
        else
            box->setCurrentRow(index);
    }
}

bool TQtFormWidget::Selected(int index) const
{
    if (auto* box = qobject_cast<QListWidget*>(FWidget)) {
        const QListWidgetItem* item = box->item(index);
        return item && item->isSelected();
    }
    return ItemIndex() == index && index >= 0;
}

void TQtFormWidget::SetSelected(int index, bool selected)
{
    if (auto* box = qobject_cast<QListWidget*>(FWidget)) {
        if (QListWidgetItem* item = box->item(index))
            item->setSelected(selected);
    } else if (selected) {
        SetItemIndex(index);
    }
}

void TQtFormWidget::ScrollToTop()
{
    if (auto* box = qobject_cast<QListWidget*>(FWidget))
        box->scrollToTop();
}

void TQtFormWidget::SetWrap(int mode)
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(FWidget)) {
        memo->setLineWrapMode(mode == 0 ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(mode == 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    }
}

std::vector<u16> TQtFormWidget::DisplayedLines() const
{
    std::vector<u16> lines;
    auto* memo = qobject_cast<QPlainTextEdit*>(FWidget);
    if (!memo)
        return lines;
    // The wrapping shown is the layout's: make sure it was done for the memo's present width.
    memo->document()->documentLayout()->documentSize();
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) {
            lines.push_back(U(text));
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back(U(text.mid(line.textStart(), line.textLength())));
        }
    }
    return lines;
}

void TQtFormWidget::ClearSelection()
{
    if (auto* memo = qobject_cast<QPlainTextEdit*>(FWidget)) {
        QTextCursor cursor = memo->textCursor();
        cursor.clearSelection();
        memo->setTextCursor(cursor);
    }
}

TFormWidgetFactory MakeFormWidgetFactory(QWidget& surface)
{
    QPointer<QWidget> guarded(&surface);
    return [guarded](TWidgetKind kind) -> std::unique_ptr<TFormWidget> {
        if (!guarded)
            return nullptr;
        return std::make_unique<TQtFormWidget>(kind, *guarded);
    };
}

} // namespace lantern
