#include "app/ViewForm.h"

#include "app/Guard.h"
#include "app/StartPage.h"
#include "layout/ImageObj.h"
#include "markup/CodePages.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QVBoxLayout>

namespace lantern {

namespace {

constexpr int ClientWidth = 842;
constexpr int ClientHeight = 530;
constexpr int StatusHeight = 20;
constexpr QSize MsgTabControlSize(300, 60);

const QString ReinstallMessage = QStringLiteral("Error, please re-install this software.");
const QString NotStartedMessage = QStringLiteral("Failed to open this CHM file.");
const QString ExtractFailedMessage = QStringLiteral("Can not open this file.");

// A #SYSTEM file is a few kilobytes; more is not read.

QString Title()
{
    return QString::fromUtf16(AppTitle);
}

u16 ToU16(const QString& Text)
{
    return Text.toStdU16String();
}

// The screen cursor is one state, hourglass or default, not a stack.
void ShowBusyCursor()
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void ShowDefaultCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// Lets queued painting happen now. Input waits until the running step is over, so a click cannot start
// another open or close in the middle of one.
void ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QFont TahomaFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    return font;
}

QLabel* StatusPart(QWidget* Parent, int Width, const QString& Caption)
{
    auto* part = new QLabel(Caption, Parent);
    part->setFixedSize(Width, StatusHeight - 2);
    part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return part;
}

} // namespace

TViewFormEnvironment TViewFormEnvironment::Default()
{
    TViewFormEnvironment environment;
    environment.ExeFolder = QCoreApplication::applicationDirPath() + u'/';
    environment.ExtractorFolders = {environment.ExeFolder, QString::fromLatin1(SystemExtractorFolder)};
    return environment;
}

TViewForm::TViewForm(TViewFormEnvironment Environment, const QStringList& Arguments, QWidget* Parent)
    : QMainWindow(Parent),
      ExeFolder(Environment.ExeFolder),
      FExtractor(Environment.ExtractorFolders, std::move(Environment.IdentityCheck)),
      FTempBase(Environment.TempBase),
      FTempNumbers(std::move(Environment.TempNumbers)),
      FMessages(std::move(Environment.Messages)),
      FDialogs(std::move(Environment.Dialogs)),
      FOpenExternal(std::move(Environment.OpenExternal))
{
    if (!FMessages)
        FMessages = std::make_unique<TMessageBoxes>(this);
    if (!FDialogs)
        FDialogs = std::make_unique<TStandardDialogs>(this);
    PictureOfObject = [](const TImageObj& Object) { return Object.PictureBitmap(); };
    setWindowTitle(QStringLiteral("Lantern汉化版"));
    setFont(TahomaFont());

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);
    BuildViewer();
    column->addWidget(Viewer, 1);
    BuildStatusBar(client);
    column->addWidget(StatusPanel);
    BuildMessagePanel(client);
    BuildMenus();
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());

    FormCreate(Arguments);
}

TViewForm::~TViewForm()
{
    FormDestroy();
}

// ---- Building the window

void TViewForm::BuildViewer()
{
    Viewer = new THtmlViewer(centralWidget());
    Viewer->setObjectName(QStringLiteral("Viewer"));
    Viewer->setFocusPolicy(Qt::StrongFocus);
    Viewer->SetBorderStyle(THTMLBorderStyle::htNone);
    Viewer->SetCharSet(DEFAULT_CHARSET);
    Viewer->SetDefBackground(clWindow);
    Viewer->SetDefFontColor(clWindowText);
    Viewer->SetDefFontName(u"Times New Roman");
    Viewer->SetDefOverLinkColor(clFuchsia);
    Viewer->SetDefPreFontName(u"Courier New");
    Viewer->SetHistoryMaxCount(6);
    Viewer->SetImageCacheCount(6);
    Viewer->SetNoSelect(false);
    Viewer->OnHotSpotClick = [this](THtmlViewer& Sender, const u16& SRC, bool& Handled) {
        ViewerHotSpotClick(Sender, SRC, Handled);
    };
    Viewer->OnHotSpotCovered = [this](THtmlViewer& Sender, const u16& SRC) { ViewerHotSpotCovered(Sender, SRC); };
    Viewer->SetPrintMarginBottom(2.0);
    Viewer->SetPrintMarginLeft(2.0);
    Viewer->SetPrintMarginRight(2.0);
    Viewer->SetPrintMarginTop(2.0);
    Viewer->SetPrintScale(1.0);
    Viewer->SetQuirksMode(THtQuirksMode::qmDetect);
    Viewer->OnProgress = [this](THtmlViewer& Sender, TProgressStage Stage, int PercentDone) {
        ViewerProgress(Sender, Stage, PercentDone);
    };
}

void TViewForm::BuildStatusBar(QWidget* Client)
{
    StatusPanel = new QFrame(Client);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setFixedHeight(StatusHeight);
    StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* row = new QHBoxLayout(StatusPanel);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);

    FStatusCaption = new QLabel(StatusPanel);
    FStatusCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(FStatusCaption, 1);

    ProgressBar = new QProgressBar(StatusPanel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedSize(150, StatusHeight - 2);
    row->addWidget(ProgressBar);

    WebPanel = StatusPart(StatusPanel, 146, QString::fromUtf16(ProductAddress));
    WebPanel->setObjectName(QStringLiteral("WebPanel"));
    WebPanel->setCursor(Qt::PointingHandCursor);
    WebPanel->setFont(TahomaFont());
    WebPanel->setStyleSheet(QStringLiteral("color: #0000ff"));
    row->addWidget(WebPanel);

    Panel2 = StatusPart(StatusPanel, 97, QStringLiteral("Lantern team"));
    Panel2->setObjectName(QStringLiteral("Panel2"));
    row->addWidget(Panel2);
}

void TViewForm::BuildMessagePanel(QWidget* Client)
{
    MsgTabControl = new QFrame(Client);
    MsgTabControl->setObjectName(QStringLiteral("MsgTabControl"));
    MsgTabControl->setFrameStyle(QFrame::Panel | QFrame::Raised);
    MsgTabControl->setLineWidth(2);
    MsgTabControl->setAutoFillBackground(true);
    MsgTabControl->resize(MsgTabControlSize);
    auto* fill = new QVBoxLayout(MsgTabControl);
    fill->setContentsMargins(3, 3, 3, 3);
    MsgPanel = new QLabel(MsgTabControl);
    MsgPanel->setObjectName(QStringLiteral("MsgPanel"));
    MsgPanel->setAlignment(Qt::AlignCenter);
    fill->addWidget(MsgPanel);
    MsgTabControl->hide();
}

void TViewForm::BuildMenus()
{
    const auto item = [this](QMenu* Menu, const QString& Caption, QKeySequence Shortcut = {}) {
        QAction* action = Menu->addAction(Caption);
        action->setShortcut(Shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    const auto handle = [this](QAction* Action, void (TViewForm::*Handler)()) { Handle(Action, Handler); };

    FileMenuItem = menuBar()->addMenu(QStringLiteral("文件"));
    OpenMenuItem = item(FileMenuItem, QStringLiteral("打开..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    FileMenuItem->addSeparator();
    CloseMenuItem = item(FileMenuItem, QStringLiteral("最近"));
    FileMenuItem->addSeparator();
    ExportAsHTMLFilesMenuItem = item(FileMenuItem, QStringLiteral("导出为HYML..."));
    FileMenuItem->addSeparator();
    ExitMenuItem = item(FileMenuItem, QStringLiteral("退出"), QKeySequence(Qt::ALT | Qt::Key_F4));
    handle(OpenMenuItem, &TViewForm::OpenMenuItemClick);
    handle(CloseMenuItem, &TViewForm::CloseMenuItemClick);
    connect(ExitMenuItem, &QAction::triggered, this, &QWidget::close);

    EditMenuItem = menuBar()->addMenu(QStringLiteral("编辑"));
    FindMenuItem = item(EditMenuItem, QStringLiteral("查找"), QKeySequence(Qt::CTRL | Qt::Key_F));
    EditMenuItem->addSeparator();
    CopyMenuItem = item(EditMenuItem, QStringLiteral("复制"), QKeySequence(Qt::CTRL | Qt::Key_C));
    SelectAllMenuItem = item(EditMenuItem, QStringLiteral("全选"), QKeySequence(Qt::CTRL | Qt::Key_A));
    handle(FindMenuItem, &TViewForm::FindMenuItemClick);
    handle(CopyMenuItem, &TViewForm::CopyMenuItemClick);
    handle(SelectAllMenuItem, &TViewForm::SelectAllMenuItemClick);

    OptionMenuItem = menuBar()->addMenu(QStringLiteral("选项"));
    DefaultFontMenuItem = item(OptionMenuItem, QStringLiteral("默认字体"));
    OptionMenuItem->addSeparator();
    BackgroundColorMenuItem = item(OptionMenuItem, QStringLiteral("背景颜色"));
    HotSpotColorMenuItem = item(OptionMenuItem, QStringLiteral("热点颜色"));
    OptionMenuItem->addSeparator();
    FontZoomInMenuItem = item(OptionMenuItem, QStringLiteral("字体放大"));
    FontZoomOutMenuItem = item(OptionMenuItem, QStringLiteral("字体缩小"));

    HelpMenuItem = menuBar()->addMenu(QStringLiteral("帮助"));
    AboutMenuItem = item(HelpMenuItem, QStringLiteral("关于"));

    PopupMenu = new QMenu(this);
    CopyImageMenuItem = item(PopupMenu, QStringLiteral("Copy Image"));
    PopupMenu->addSeparator();
    SaveAsJPGMenuItem = item(PopupMenu, QStringLiteral("Save As JPG"));
    SaveAsBMPMenuItem = item(PopupMenu, QStringLiteral("Save As BMP"));
    SaveAsPNGMenuItem = item(PopupMenu, QStringLiteral("Save As PNG"));
    SaveAsGIF1 = item(PopupMenu, QStringLiteral("Save As GIF"));
    ConnectCommands();
}

void TViewForm::Handle(QAction* Action, void (TViewForm::*Handler)())
{
    connect(Action, &QAction::triggered, this, [this, Handler] { guarded(*FMessages, [&] { (this->*Handler)(); }); });
}

// ---- Start and end of the window

void TViewForm::FormCreate(const QStringList& Arguments)
{
    setWindowTitle(Title());
    DocumentPath.clear();
    TempFolder.clear();
    SubFolder.clear();
    // The zoom keys are the numeric keypad's plus and minus only.
    FontZoomInMenuItem->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)));
    FontZoomOutMenuItem->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)));
    SavedFontName = Viewer->DefFontName();
    SavedFontSize = Viewer->DefFontSize();
    SavedFontColor = Viewer->DefFontColor();
    SavedBackground = Viewer->DefBackground();
    SavedHotSpotColor = Viewer->DefHotSpotColor();
    if (Arguments.size() == 1 && QFileInfo(Arguments.front()).isFile())
        guarded(*FMessages, [&] { OpenDocument(Arguments.front()); });
}

void TViewForm::FormDestroy()
{
    guarded(*FMessages, [&] { CloseDocument(); });
}

// ---- The document session

QString TViewForm::CheckInstallation() const
{
    return FExtractor.CheckInstallation();
}

void TViewForm::OpenDocument(const QString& Path)
{
    FProgram = CheckInstallation();
    if (FProgram.isEmpty()) {
        FMessages->Error(ReinstallMessage);
        return;
    }
    CloseDocument();
    DocumentPath = Path;
    // A fresh folder under a name nobody holds; an existing entry of that name is never reused or deleted.
    TempFolder = MakeTempName(FTempBase.isEmpty() ? TempFilesFolder() : FTempBase, QStringLiteral("temp"), FTempNumbers);
    setWindowTitle(Title() + QStringLiteral(" - ") + DocumentPath);
    struct HidePanelAtEnd {
        TViewForm* Form;
        ~HidePanelAtEnd() { Form->ShowMessagePanel(QString()); }
    } hidePanel{this};
    if (TempFolder.isEmpty()) {
        // Without a folder of its own the extractor would unpack into the current folder: fail as it would.
        ShowMessagePanel(QString());
        FMessages->Error(ExtractFailedMessage);
        return;
    }
    if (ExtractDocument()) {
        ReadHelpSystemFile();
        ShowStartPage();
    }
}

bool TViewForm::ExtractDocument()
{
    ShowMessagePanel(QStringLiteral("Opening file ..."));
    ProcessPendingMessages();
    const TExtractResult result = TExtractor::Run(FProgram, TempFolder, DocumentPath);
    ProcessPendingMessages();
    switch (result) {
    case TExtractResult::Extracted:
        ShowMessagePanel(QStringLiteral("Opening file is complete."));
        return true;
    case TExtractResult::NotStarted:
        ShowMessagePanel(QString());
        FMessages->Error(NotStartedMessage);
        return false;
    case TExtractResult::Failed:
        break;
    }
    ShowMessagePanel(QString());
    FMessages->Error(ExtractFailedMessage);
    return false;
}

void TViewForm::ReadHelpSystemFile()
{
    FHelpSystem = lantern::ReadHelpSystemFile(TempFolder);
    if (FHelpSystem.Language)
        Viewer->SetCharSet(CharSetOfCodePage(FHelpSystem.CodePage()));
}

bool TViewForm::ShowStartPage()
{
    try {
        // Every start page present is shown in turn; the last one stays on screen.
        const std::vector<TStartPage> pages = StartPagesOf(TempFolder, FHelpSystem);
        for (const TStartPage& page : pages) {
            Viewer->ShowFile(ToU16(page.File), DocType::dtHtml);
            SubFolder = page.SubFolder;
        }
        if (pages.empty())
            Viewer->ShowString(ToU16(BuildIndexPage(TempFolder)), u"", DocType::dtHtml);
        return true;
    } catch (...) {
        FMessages->Error(QStringLiteral("Failed to read file \"") + DocumentPath + QStringLiteral("\"."));
        return false;
    }
}

void TViewForm::CloseDocument()
{
    ShowBusyCursor();
    struct DefaultCursorAtEnd {
        ~DefaultCursorAtEnd() { ShowDefaultCursor(); }
    } defaultCursor;
    // The session ends and its folder goes even when the viewer fails to empty its page.
    struct EndSession {
        TViewForm* Form;
        ~EndSession()
        {
            Form->setWindowTitle(Title());
            Form->DocumentPath.clear();
            Form->SubFolder.clear();
            Form->FHelpSystem = {};
            Form->PickedImage.reset();
            if (!Form->TempFolder.isEmpty()) {
                DeleteFolderTree(Form->TempFolder);
                Form->TempFolder.clear();
            }
        }
    } endSession{this};
    SetStatusText(QString());
    Viewer->ClearView();
    RestoreViewerDefaults();
    Viewer->ShowString(u"", u"", DocType::dtHtml);
}

void TViewForm::RestoreViewerDefaults()
{
    Viewer->SetCharSet(DEFAULT_CHARSET); // the help file's language belonged to its session
    Viewer->SetDefFontName(SavedFontName);
    Viewer->SetDefFontSize(SavedFontSize);
    Viewer->SetDefFontColor(SavedFontColor);
    Viewer->SetDefBackground(SavedBackground);
    Viewer->SetDefHotSpotColor(SavedHotSpotColor);
}

// ---- Message panel, status bar and progress

void TViewForm::ShowMessagePanel(const QString& Text)
{
    MsgPanel->setText(Text);
    if (Text.isEmpty()) {
        ShowDefaultCursor();
        MsgTabControl->hide();
    } else {
        ShowBusyCursor();
        PlaceMessagePanel();
        MsgTabControl->show();
        MsgTabControl->raise();
    }
    ProcessPendingMessages();
}

// Centred horizontally, its bottom edge on the client area's horizontal centre line.
void TViewForm::PlaceMessagePanel()
{
    const QSize client = centralWidget()->size();
    const QPoint place((client.width() - MsgTabControl->width()) / 2, client.height() / 2 - MsgTabControl->height());
    if (MsgTabControl->pos() != place)
        MsgTabControl->move(place);
}

void TViewForm::resizeEvent(QResizeEvent* Event)
{
    QMainWindow::resizeEvent(Event);
    if (MsgTabControl && MsgTabControl->isVisible())
        PlaceMessagePanel();
}

void TViewForm::ViewerProgress(THtmlViewer&, TProgressStage Stage, int PercentDone)
{
    ProgressBar->setValue(PercentDone);
    if (Stage == TProgressStage::psStarting)
        ProgressBar->show();
    else if (Stage == TProgressStage::psEnding)
        ProgressBar->hide();
    ProgressBar->repaint();
}

QString TViewForm::StatusText() const
{
    return FStatusCaption->text();
}

void TViewForm::SetStatusText(const QString& Text)
{
    FStatusCaption->setText(Text);
}

// ---- Handlers

void TViewForm::OpenMenuItemClick()
{
    QString path;
    {
        // The dialog, with its pop-ups, is gone before the window blocks on the extractor.
        QFileDialog dialog(this);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("选择CHM文件 (*.chm)"));
        dialog.setDefaultSuffix(QStringLiteral("chm"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        path = dialog.selectedFiles().front();
    }
    OpenDocument(path);
}

void TViewForm::CloseMenuItemClick()
{
    CloseDocument();
}

} // namespace lantern
