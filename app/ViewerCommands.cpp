// The window's Options and Help commands, the zoom keys and the status bar's web address. Each display option
// changes one of the viewer's defaults and reloads the page on show; a close restores the start-up defaults,
// so a choice lasts until the document is closed.
#include "app/ViewForm.h"

#include "app/Guard.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace lantern {

void TViewForm::ConnectCommands()
{
    Handle(DefaultFontMenuItem, &TViewForm::DefaultFontMenuItemClick);
    Handle(BackgroundColorMenuItem, &TViewForm::BackgroundColorMenuItemClick);
    Handle(HotSpotColorMenuItem, &TViewForm::HotSpotColorMenuItemClick);
    Handle(FontZoomInMenuItem, &TViewForm::FontZoomInMenuItemClick);
    Handle(FontZoomOutMenuItem, &TViewForm::FontZoomOutMenuItemClick);
    Handle(AboutMenuItem, &TViewForm::AboutMenuItemClick);
    Handle(ExportAsHTMLFilesMenuItem, &TViewForm::ExportAsHTMLFilesMenuItemClick);
    Handle(CopyImageMenuItem, &TViewForm::CopyImageMenuItemClick);
    Handle(SaveAsJPGMenuItem, &TViewForm::SaveAsJPGMenuItemClick);
    Handle(SaveAsBMPMenuItem, &TViewForm::SaveAsBMPMenuItemClick);
    Handle(SaveAsPNGMenuItem, &TViewForm::SaveAsPNGMenuItemClick);
    Handle(SaveAsGIF1, &TViewForm::SaveAsGIF1Click);
    WebPanel->installEventFilter(this);
    Viewer->OnRightClick = [this](THtmlViewer& Sender, const TRightClickParameters& Parameters) {
        guarded(*FMessages, [&] { ViewerRightClick(Sender, Parameters); });
    };
}

// ---- Display options

void TViewForm::DefaultFontMenuItemClick()
{
    const std::optional<TFontChoice> chosen =
        FDialogs->ChooseFont({Viewer->DefFontName(), Viewer->DefFontSize(), Viewer->DefFontColor()});
    if (!chosen)
        return;
    Viewer->SetDefFontName(chosen->Name);
    Viewer->SetDefFontSize(chosen->Size);
    Viewer->SetDefFontColor(chosen->FontColor);
    Viewer->RefreshDocument();
}

void TViewForm::BackgroundColorMenuItemClick()
{
    if (const std::optional<Color> chosen = FDialogs->ChooseColor(Viewer->DefBackground())) {
        Viewer->SetDefBackground(*chosen);
        Viewer->RefreshDocument();
    }
}

void TViewForm::HotSpotColorMenuItemClick()
{
    if (const std::optional<Color> chosen = FDialogs->ChooseColor(Viewer->DefHotSpotColor())) {
        Viewer->SetDefHotSpotColor(*chosen);
        Viewer->RefreshDocument();
    }
}

// One point per step and no bound: a size below 1 is kept, and the viewer draws it as 1.
void TViewForm::FontZoomInMenuItemClick()
{
    Viewer->SetDefFontSize(Viewer->DefFontSize() + 1);
    Viewer->RefreshDocument();
}

void TViewForm::FontZoomOutMenuItemClick()
{
    Viewer->SetDefFontSize(Viewer->DefFontSize() - 1);
    Viewer->RefreshDocument();
}

// The items' shortcuts take these keys first; this catches them when a shortcut could not, so that one press
// is one step either way. Plus and minus of the main keyboard are not zoom keys.
bool TViewForm::FormKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    if (!Shift.testFlag(Qt::KeypadModifier) || (Shift & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    if (Key == Qt::Key_Plus)
        FontZoomInMenuItem->trigger();
    else if (Key == Qt::Key_Minus)
        FontZoomOutMenuItem->trigger();
    else
        return false;
    return true;
}

void TViewForm::keyPressEvent(QKeyEvent* Event)
{
    if (FormKeyDown(Event->key(), Event->modifiers()))
        Event->accept();
    else
        QMainWindow::keyPressEvent(Event);
}

// ---- Help and the web address

void TViewForm::AboutMenuItemClick()
{
    FMessages->Information(QString::fromUtf16(AppTitle) + u'\n' + QString::fromUtf16(ProductAddress));
}

void TViewForm::WebPanelClick()
{
    // The address goes out the way web links of pages do.
    FOpenExternal(QStringLiteral("http://") + QString::fromUtf16(ProductAddress));
}

bool TViewForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == WebPanel && Event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton &&
        WebPanel->rect().contains(static_cast<QMouseEvent*>(Event)->position().toPoint())) {
        guarded(*FMessages, [&] { WebPanelClick(); });
        return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

} // namespace lantern
