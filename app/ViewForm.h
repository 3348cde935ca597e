// The main window and the document session it holds: one help file at a time, unpacked by the external
// extractor into a private temporary folder and shown in the viewer control.
//
// The window owns its widgets (through Qt's parent chain), the message sink and the extractor locator.
// DocumentPath, TempFolder and SubFolder are the session; at most one temporary folder exists per window,
// and it is deleted at every close, at every open of another file and when the window is destroyed.
#pragma once

#include "app/Dialogs.h"
#include "app/Extractor.h"
#include "app/HelpSystemFile.h"
#include "app/Messages.h"
#include "app/PictureSaving.h"
#include "app/TempFolder.h"
#include "common/Colors.h"
#include "platform/Bitmap.h"
#include "viewer/HtmlViewer.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;

namespace lantern {

class TFindDialog;

inline constexpr char16_t AppTitle[] = u"Lantern";
inline constexpr char16_t ProductAddress[] = u"lantern.example.org";

// The hovered-link colour the window gives its viewer.
inline constexpr Color clFuchsia = MakeColor(255, 0, 255);

// Hands a mail or web link to the desktop's default handler.
void OpenWithSystemHandler(const QString& Link);

// Where the window finds its outside world; tests replace parts of it.
struct TViewFormEnvironment {
    QString ExeFolder;                 // Lantern's own folder, ending in '/'
    QStringList ExtractorFolders;      // searched in order for the extractor
    TIdentityCheck IdentityCheck = IsNativeExecutable;
    QString TempBase;                  // where session folders are made; empty: the system's, chosen at each open
    TTempNumberSource TempNumbers = RandomTempNumber;
    std::unique_ptr<TMessages> Messages; // none: modal boxes over the window
    std::unique_ptr<TDialogs> Dialogs;   // none: the real dialogs over the window
    std::function<void(const QString&)> OpenExternal = OpenWithSystemHandler; // mail and web links

    // The running program's folder, then the system's extractor folder, and the system's temporary folder.
    static TViewFormEnvironment Default();
};

class TViewForm : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and runs FormCreate with the command-line arguments (the program name excluded).
    TViewForm(TViewFormEnvironment Environment, const QStringList& Arguments, QWidget* Parent = nullptr);
    ~TViewForm() override;

    // ---- The document session
    void OpenDocument(const QString& Path);
    void CloseDocument();
    // The extractor program when it is installed and intact; empty otherwise.
    QString CheckInstallation() const;
    bool ExtractDocument();
    // The help file's own description of itself; its language sets the viewer's CharSet for the session.
    void ReadHelpSystemFile();
    bool ShowStartPage();
    void ShowMessagePanel(const QString& Text);
    void ViewerProgress(THtmlViewer& Sender, TProgressStage Stage, int PercentDone);

    // ---- Handlers
    void OpenMenuItemClick();
    void CloseMenuItemClick();
    // Options, Help and the status bar's address (ViewerCommands.cpp)
    void DefaultFontMenuItemClick();
    void BackgroundColorMenuItemClick();
    void HotSpotColorMenuItemClick();
    void FontZoomInMenuItemClick();
    void FontZoomOutMenuItemClick();
    // True when the key was a zoom key and has been handled.
    bool FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void AboutMenuItemClick();
    void WebPanelClick();
    // Export of the unpacked files (ExportFiles.cpp)
    void ExportAsHTMLFilesMenuItemClick();
    // The picture menu and saving pictures (PictureSaving.cpp)
    void ViewerRightClick(THtmlViewer& Sender, const TRightClickParameters& Parameters);
    void CopyImageMenuItemClick();
    void SaveImageAs(const QString& Ext);
    void SaveAsJPGMenuItemClick();
    void SaveAsBMPMenuItemClick();
    void SaveAsPNGMenuItemClick();
    void SaveAsGIF1Click();
    // Link routing (LinkRouting.cpp)
    void ViewerHotSpotClick(THtmlViewer& Sender, const u16& SRC, bool& Handled);
    void ViewerHotSpotCovered(THtmlViewer& Sender, const u16& SRC);
    // Edit menu (EditMenu.cpp)
    void FindMenuItemClick();
    void FindDialogFind();
    void CopyMenuItemClick();
    void SelectAllMenuItemClick();

    TMessages& Messages() { return *FMessages; }
    TDialogs& Dialogs() { return *FDialogs; }
    QString StatusText() const;
    void SetStatusText(const QString& Text);

    // ---- Session state
    QString ExeFolder;
    QString DocumentPath;
    QString TempFolder; // ends in '/'; empty when there is none
    QString SubFolder;  // relative to TempFolder, ends in '/'; empty for its root
    u16 SavedFontName;
    int SavedFontSize = 0;
    Color SavedFontColor = 0;
    Color SavedBackground = 0;
    Color SavedHotSpotColor = 0;
    // The picture last right-clicked, as it showed then; a copy, so it outlives the page that held it.
    std::optional<platform::Bitmap> PickedImage;
    // The save dialog's filter and default extension, kept from one picture save to the next.
    TSaveFileRequest SaveDialog = SaveRequestFor(TPictureFormat::Jpeg);
    // The plain picture a picture object shows now; none for a placeholder. Tests replace it.
    std::function<std::optional<platform::Bitmap>(const TImageObj& Object)> PictureOfObject;

    // ---- Components
    THtmlViewer* Viewer = nullptr;
    QFrame* MsgTabControl = nullptr;
    QLabel* MsgPanel = nullptr;
    QFrame* StatusPanel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* WebPanel = nullptr;
    QLabel* Panel2 = nullptr;
    QMenu* PopupMenu = nullptr;
    TFindDialog* FindDialog = nullptr; // made at the first Edit > Find

    QMenu* FileMenuItem = nullptr;
    QAction* OpenMenuItem = nullptr;
    QAction* CloseMenuItem = nullptr;
    QAction* ExportAsHTMLFilesMenuItem = nullptr;
    QAction* ExitMenuItem = nullptr;
    QMenu* EditMenuItem = nullptr;
    QAction* FindMenuItem = nullptr;
    QAction* CopyMenuItem = nullptr;
    QAction* SelectAllMenuItem = nullptr;
    QMenu* OptionMenuItem = nullptr;
    QAction* DefaultFontMenuItem = nullptr;
    QAction* BackgroundColorMenuItem = nullptr;
    QAction* HotSpotColorMenuItem = nullptr;
    QAction* FontZoomInMenuItem = nullptr;
    QAction* FontZoomOutMenuItem = nullptr;
    QMenu* HelpMenuItem = nullptr;
    QAction* AboutMenuItem = nullptr;
    QAction* CopyImageMenuItem = nullptr;
    QAction* SaveAsJPGMenuItem = nullptr;
    QAction* SaveAsBMPMenuItem = nullptr;
    QAction* SaveAsPNGMenuItem = nullptr;
    QAction* SaveAsGIF1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildViewer();
    void BuildStatusBar(QWidget* Client);
    void BuildMessagePanel(QWidget* Client);
    void BuildMenus();
    void Handle(QAction* Action, void (TViewForm::*Handler)());
    void ConnectCommands();
    void FormCreate(const QStringList& Arguments);
    void FormDestroy();
    void PlaceMessagePanel();
    void RestoreViewerDefaults();
    void ToggleOutline(const u16& Key);

    TExtractor FExtractor;
    QString FTempBase;
    THelpSystemFile FHelpSystem; // of the open document
    TTempNumberSource FTempNumbers;
    std::unique_ptr<TMessages> FMessages;
    std::unique_ptr<TDialogs> FDialogs;
    QLabel* FStatusCaption = nullptr;
    std::function<void(const QString&)> FOpenExternal;
    QString FProgram; // the extractor that passed the installation check of the open in progress
};

} // namespace lantern
