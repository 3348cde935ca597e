#include "app/StopSignals.h"
#include "app/ViewForm.h"
#include "markup/CodePages.h"
#include "tests/app/WindowFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

using namespace lantern;

TEST_F(ViewFormTest, CommandLineOpensExactlyOneExistingFile)
{
    struct Case {
        QStringList Arguments;
        bool Opens;
    };
    const Case cases[] = {
        {{}, false},
        {{DocumentNamed("a.chm")}, true},
        {{DocumentNamed("a.chm"), DocumentNamed("b.chm")}, false},
        {{DocumentNamed("missing.chm")}, false},
        {{Documents.path()}, false}, // a folder is no file
    };
    for (const Case& c : cases) {
        const auto form = Form(c.Arguments);
        const QString what = c.Arguments.join(u' ');
        EXPECT_EQ(form->DocumentPath, c.Opens ? c.Arguments.front() : QString()) << what.toStdString();
        EXPECT_EQ(TempFolders().size(), c.Opens ? 1 : 0) << what.toStdString();
        EXPECT_EQ(form->windowTitle(), c.Opens ? QStringLiteral("Lantern - ") + c.Arguments.front() : QStringLiteral("Lantern"));
        EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
    }
}

TEST_F(ViewFormTest, SavedDefaultsAreTheConfiguredOnesAndEveryCloseRestoresThem)
{
    const auto form = Form({DocumentNamed("a.chm")});
    EXPECT_EQ(form->SavedBackground, clWindow);
    EXPECT_EQ(form->SavedFontColor, clWindowText);
    EXPECT_EQ(form->SavedFontName, u"Times New Roman");
    EXPECT_EQ(form->SavedFontSize, 12);
    EXPECT_EQ(form->SavedHotSpotColor, MakeColor(0, 0, 255));

    form->Viewer->SetDefFontSize(15);
    form->Viewer->SetDefFontName(u"Arial");
    form->Viewer->SetDefFontColor(0x00112233);
    form->Viewer->SetDefBackground(0x00445566);
    form->Viewer->SetDefHotSpotColor(0x00778899);
    form->OpenDocument(DocumentNamed("b.chm"));
    EXPECT_EQ(form->Viewer->DefFontSize(), 12);
    EXPECT_EQ(form->Viewer->DefFontName(), u"Times New Roman");
    EXPECT_EQ(form->Viewer->DefFontColor(), clWindowText);
    EXPECT_EQ(form->Viewer->DefBackground(), clWindow);
    EXPECT_EQ(form->Viewer->DefHotSpotColor(), MakeColor(0, 0, 255));
}

TEST_F(ViewFormTest, TemporaryFolderLivesExactlyAsLongAsTheSession)
{
    WriteFile(Payload + QStringLiteral("/index.htm"));
    auto form = Form();
    form->OpenDocument(DocumentNamed("a.chm"));
    const QString first = form->TempFolder;
    ASSERT_TRUE(first.startsWith(TempBase.path() + QStringLiteral("/~~")) && first.endsWith(QStringLiteral("temp/")))
        << first.toStdString();
    EXPECT_TRUE(QFileInfo(first + QStringLiteral("index.htm")).isFile());

    form->SubFolder = QStringLiteral("sub/");
    form->SetStatusText(QStringLiteral("link"));
    form->OpenDocument(DocumentNamed("b.chm"));
    const QString second = form->TempFolder;
    EXPECT_NE(second, first);
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_EQ(TempFolders().size(), 1);
    EXPECT_EQ(form->SubFolder, QString());
    EXPECT_EQ(form->StatusText(), QString());

    form->CloseMenuItem->trigger();
    EXPECT_FALSE(QFileInfo::exists(second));
    EXPECT_EQ(form->TempFolder, QString());
    EXPECT_EQ(form->DocumentPath, QString());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Lantern"));

    form->OpenDocument(DocumentNamed("a.chm"));
    EXPECT_EQ(TempFolders().size(), 1);
    form.reset(); // destroying the window closes the session
    EXPECT_TRUE(TempFolders().isEmpty());
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(ViewFormTest, ClosingTheWindowRemovesTheFolder)
{
    QPointer<TViewForm> form = new TViewForm(Environment(), {DocumentNamed("a.chm")});
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    ASSERT_EQ(TempFolders().size(), 1);
    form->ExitMenuItem->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(TempFolders().isEmpty());
}

TEST_F(ViewFormTest, TakenTemporaryNamesAreSkippedNotDeleted)
{
    WriteFile(TempBase.filePath(QStringLiteral("~~Atemp")), "a file");
    WriteFile(TempBase.filePath(QStringLiteral("~~Btemp/someone-elses.htm")));
    std::uint32_t next = 0xA;
    TViewForm form(Environment([&] { return next++; }), {});
    form.OpenDocument(DocumentNamed("a.chm"));
    EXPECT_EQ(form.TempFolder, TempBase.filePath(QStringLiteral("~~Ctemp/")));
    EXPECT_TRUE(QFileInfo(TempBase.filePath(QStringLiteral("~~Atemp"))).isFile());
    EXPECT_TRUE(QFileInfo::exists(TempBase.filePath(QStringLiteral("~~Btemp/someone-elses.htm"))));
}

TEST_F(ViewFormTest, FailedInstallationCheckLeavesTheOpenDocumentAlone)
{
    struct Case {
        const char* What;
        std::function<void()> Break;
    };
    const Case cases[] = {
        {"library missing", [&] { QFile::remove(ExeDir.filePath(QStringLiteral("7z.so"))); }},
        {"program missing", [&] { QFile::remove(ExeDir.filePath(QStringLiteral("7z"))); }},
    };
    for (const Case& c : cases) {
        SetUp();
        Log.clear();
        WriteFile(Payload + QStringLiteral("/index.htm"));
        const auto form = Form({DocumentNamed("a.chm")});
        const QString folder = form->TempFolder;
        c.Break();
        form->OpenDocument(DocumentNamed("b.chm"));
        EXPECT_EQ(Log, QStringList({"Error: Error, please re-install this software."})) << c.What;
        EXPECT_EQ(form->DocumentPath, DocumentNamed("a.chm")) << c.What;
        EXPECT_EQ(form->TempFolder, folder) << c.What;
        EXPECT_TRUE(QFileInfo(folder + QStringLiteral("index.htm")).isFile()) << c.What;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Lantern - ") + DocumentNamed("a.chm")) << c.What;
    }

    // The identity check is the third condition.
    TViewFormEnvironment environment = Environment();
    environment.IdentityCheck = IsNativeExecutable;
    TViewForm form(std::move(environment), {});
    Log.clear();
    form.OpenDocument(DocumentNamed("a.chm"));
    EXPECT_EQ(Log, QStringList({"Error: Error, please re-install this software."}));
    EXPECT_EQ(form.DocumentPath, QString());
    EXPECT_TRUE(TempFolders().isEmpty());
}

TEST_F(ViewFormTest, ExtractionFailuresKeepTheFolderUntilTheClose)
{
    struct Case {
        int ExitCode;
        bool Executable;
        const char* Message;
    };
    const Case cases[] = {
        {2, true, "Error: Can not open this file."},
        {0, false, "Error: Failed to open this CHM file."},
    };
    for (const Case& c : cases) {
        Log.clear();
        WriteFile(Payload + QStringLiteral("/index.htm"));
        WriteStandIn(c.ExitCode, c.Executable);
        const auto form = Form();
        form->OpenDocument(DocumentNamed("a.chm"));
        EXPECT_EQ(Log, QStringList({QString::fromLatin1(c.Message)}));
        EXPECT_EQ(form->DocumentPath, DocumentNamed("a.chm"));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Lantern - ") + DocumentNamed("a.chm"));
        ASSERT_FALSE(form->TempFolder.isEmpty());
        EXPECT_TRUE(QFileInfo(form->TempFolder).isDir());
        EXPECT_EQ(QFileInfo::exists(form->TempFolder + QStringLiteral("index.htm")), c.Executable)
            << "what was unpacked stays, but is not shown";
        EXPECT_TRUE(form->Viewer->CurrentPath().empty());
        EXPECT_FALSE(form->MsgTabControl->isVisible());
        const QString folder = form->TempFolder;
        form->CloseDocument();
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
}

TEST_F(ViewFormTest, NoTemporaryFolderMeansNoExtraction)
{
    TViewFormEnvironment environment = Environment();
    environment.TempBase = TempBase.filePath(QStringLiteral("missing/deeper"));
    TViewForm form(std::move(environment), {});
    form.OpenDocument(DocumentNamed("a.chm"));
    EXPECT_EQ(Log, QStringList({"Error: Can not open this file."}));
    EXPECT_EQ(form.TempFolder, QString());
    EXPECT_FALSE(QFileInfo::exists(ExeDir.filePath(QStringLiteral("ran"))));
}

TEST_F(ViewFormTest, StartPageIsTheLastExistingNameOfTheList)
{
    WriteFile(Payload + QStringLiteral("/index.htm"));
    WriteFile(Payload + QStringLiteral("/default.html"));
    WriteFile(Payload + QStringLiteral("/other.htm"));
    const auto form = Form({DocumentNamed("a.chm")});
    EXPECT_EQ(QString::fromStdU16String(form->Viewer->CurrentPath()), form->TempFolder + QStringLiteral("default.html"));
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(ViewFormTest, WithoutAStartPageTheGeneratedIndexIsShown)
{
    WriteFile(Payload + QStringLiteral("/b.htm"));
    WriteFile(Payload + QStringLiteral("/c.txt"));
    const auto form = Form({DocumentNamed("a.chm")});
    EXPECT_TRUE(form->Viewer->CurrentPath().empty());
    const u16 source = form->Viewer->DocumentSource();
    EXPECT_NE(source.find(u"b.htm</a>"), u16::npos);
    EXPECT_EQ(source.find(u"c.txt"), u16::npos);
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
}

TEST_F(ViewFormTest, AnUnreadableStartPageIsReportedAndTheDocumentStaysOpen)
{
    WriteFile(Payload + QStringLiteral("/index.htm"));
    const auto form = Form();
    // A page that cannot be read: the load fails while the viewer takes the new page's text.
    form->Viewer->OnParseBegin = [](THtmlViewer& Sender, std::unique_ptr<TBuffer>&) {
        if (!Sender.CurrentPath().empty()) // the empty page of a close is still readable
            throw EhtException("unreadable");
    };
    form->OpenDocument(DocumentNamed("a.chm"));
    EXPECT_EQ(Log, QStringList({QStringLiteral("Error: Failed to read file \"%1\".").arg(DocumentNamed("a.chm"))}));
    EXPECT_EQ(form->DocumentPath, DocumentNamed("a.chm"));
    EXPECT_TRUE(QFileInfo(form->TempFolder + QStringLiteral("index.htm")).isFile());
    EXPECT_FALSE(form->MsgTabControl->isVisible());
}

TEST_F(ViewFormTest, MessagePanelAndProgressBar)
{
    const auto form = Form();
    form->show();
    form->ShowMessagePanel(QStringLiteral("Opening file ..."));
    const QSize client = form->centralWidget()->size();
    EXPECT_TRUE(form->MsgTabControl->isVisible());
    EXPECT_EQ(form->MsgPanel->text(), QStringLiteral("Opening file ..."));
    EXPECT_EQ(form->MsgTabControl->geometry(),
              QRect((client.width() - 300) / 2, client.height() / 2 - 60, 300, 60));
    form->ShowMessagePanel(QString());
    EXPECT_FALSE(form->MsgTabControl->isVisible());

    struct Step {
        TProgressStage Stage;
        int Percent;
        bool Visible;
    };
    const Step steps[] = {
        {TProgressStage::psStarting, 0, true},
        {TProgressStage::psRunning, 40, true},
        {TProgressStage::psEnding, 100, false},
    };
    for (const Step& s : steps) {
        form->ViewerProgress(*form->Viewer, s.Stage, s.Percent);
        EXPECT_EQ(form->ProgressBar->value(), s.Percent);
        EXPECT_EQ(form->ProgressBar->isVisible(), s.Visible);
    }
}

TEST_F(ViewFormTest, MenusCarryTheirCaptionsAndShortcuts)
{
    const auto form = Form();
    struct Item {
        QAction* Action;
        const char* Caption;
        QKeySequence Shortcut;
    };
    const Item items[] = {
        {form->OpenMenuItem, "打开...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {form->CloseMenuItem, "最近", {}},
        {form->ExportAsHTMLFilesMenuItem, "导出为HYML...", {}},
        {form->ExitMenuItem, "退出", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {form->FindMenuItem, "查找", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {form->CopyMenuItem, "复制", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {form->SelectAllMenuItem, "全选", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {form->DefaultFontMenuItem, "默认字体", {}},
        {form->BackgroundColorMenuItem, "背景颜色", {}},
        {form->HotSpotColorMenuItem, "热点颜色", {}},
        {form->FontZoomInMenuItem, "字体放大", QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
        {form->FontZoomOutMenuItem, "字体缩小", QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
        {form->AboutMenuItem, "关于", {}},
        {form->CopyImageMenuItem, "Copy Image", {}},
        {form->SaveAsJPGMenuItem, "Save As JPG", {}},
        {form->SaveAsBMPMenuItem, "Save As BMP", {}},
        {form->SaveAsPNGMenuItem, "Save As PNG", {}},
        {form->SaveAsGIF1, "Save As GIF", {}},
    };
    for (const Item& item : items) {
        EXPECT_EQ(item.Action->text(), QString::fromUtf8(item.Caption));
        EXPECT_EQ(item.Action->shortcut(), item.Shortcut) << item.Caption;
    }
    QStringList menus;
    for (QAction* menu : form->menuBar()->actions())
        menus += menu->text();
    EXPECT_EQ(menus, QStringList({"文件", "编辑", "选项", "帮助"}));
    form->show();
    EXPECT_EQ(form->centralWidget()->size(), QSize(842, 530));
}

TEST_F(ViewFormTest, RealExtractorOpensTheBundledGuide)
{
    const QString system = QString::fromLatin1(SystemExtractorFolder);
    if (!IsNativeExecutable(system + QLatin1String(ExtractorProgramName)))
        GTEST_SKIP() << "no system extractor";
    TViewFormEnvironment environment = Environment();
    environment.ExtractorFolders = {environment.ExeFolder + QStringLiteral("none/"), system};
    environment.IdentityCheck = IsNativeExecutable;
    TViewForm form(std::move(environment), {SampleChm});
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
    EXPECT_TRUE(QFileInfo(form.TempFolder + QStringLiteral("topics/keys.htm")).isFile());
    EXPECT_TRUE(QFileInfo(form.TempFolder + QStringLiteral("images/lantern.png")).isFile());
    EXPECT_EQ(QString::fromStdU16String(form.Viewer->CurrentPath()), form.TempFolder + QStringLiteral("index.htm"));
    const QString folder = form.TempFolder;
    form.CloseDocument();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(ViewFormTest, StopSignalsCloseTheWindowAndItsSession)
{
    InstallStopSignals();
    for (int signal : {SIGTERM, SIGQUIT, SIGINT, SIGHUP}) {
        QPointer<TViewForm> form = new TViewForm(Environment(), {DocumentNamed("a.chm")});
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
        ASSERT_EQ(TempFolders().size(), 1) << signal;
        ::raise(signal);
        for (int i = 0; i < 100 && !form.isNull(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_TRUE(form.isNull()) << signal;
        EXPECT_TRUE(TempFolders().isEmpty()) << signal;
    }
    EXPECT_TRUE(StopRequested());
}

TEST_F(ViewFormTest, RealHelpFilesOpenOnTheirStartPageOrTheirDefaultTopic)
{
    const QString corpus = QStringLiteral(LANTERN_SOURCE_DIR "/../shared/corpus/chm/");
    if (!QFileInfo(corpus).isDir() || !HasSystemExtractor())
        GTEST_SKIP() << "no corpus or no system extractor";
    struct Case {
        const char* File;
        TOpened Opened;
    };
    const Case cases[] = {
        {"zh-gbk-css-handbook-2018.chm", {"index.htm", "", GB2312_CHARSET}},
        {"zh-utf8-doxygen-dcrf32-api.chm", {"index.html", "", GB2312_CHARSET}},
        {"en-innovasys-topics-classic.chm", {"default.html", "", ANSI_CHARSET}},
        {"zh-gb2312-pbootcms-tags.chm", {"关于我们.htm", "", GB2312_CHARSET}}, // named in GBK
        {"en-applewin-manual-2009.chm", {"toc.html", "", ANSI_CHARSET}},
        {"en-sandcastle-apps-test-api.chm", {"html/N_Microsoft_Windows_Apps_Test_Foundation.htm", "html/", ANSI_CHARSET}},
        {"ru-cp1251-xtreme3d-help.chm", {"xtreme3d.html", "", RUSSIAN_CHARSET}},
    };
    TViewForm form(SystemExtractorEnvironment(), {});
    for (const Case& c : cases) {
        form.OpenDocument(corpus + QLatin1String(c.File));
        ExpectOpened(form, c.File, c.Opened);
    }
    form.CloseDocument();
    EXPECT_TRUE(TempFolders().isEmpty());
}

TEST_F(ViewFormTest, HelpFilesOpenOnTheirDefaultTopicAndReadInTheirLanguage)
{
    if (!HasSystemExtractor())
        GTEST_SKIP() << "no system extractor";
    SetAnsiCodePageOverride(1252); // an English desktop
    const QString data = QStringLiteral(LANTERN_TEST_DATA "/app/");
    struct Case {
        const char* File;
        TOpened Opened;
        const char16_t* Source;
    };
    const Case cases[] = {
        // Named "/HTML/intro.htm#start": another letter case, a leading '/' and an anchor.
        {"default-topic.chm", {"html/Intro.htm", "html/", ANSI_CHARSET},
         u"<html><body><a href=\"next.htm\">next</a></body></html>"},
        // Named in GBK; the page is GBK and declares nothing.
        {"chinese-gbk.chm", {"关于我们.htm", "", GB2312_CHARSET},
         u"<html><body><p>中文页面</p><a href=\"second.htm\">second</a></body></html>"},
        // One of the eight names goes first.
        {"start-name-wins.chm", {"index.htm", "", ANSI_CHARSET}, u"<p>index</p>"},
    };
    TViewForm form(SystemExtractorEnvironment(), {});
    for (const Case& c : cases) {
        form.OpenDocument(data + QLatin1String(c.File));
        EXPECT_EQ(ToUtf8(form.Viewer->DocumentSource()), ToUtf8(c.Source)) << c.File;
        ExpectOpened(form, c.File, c.Opened);
    }

    // The language holds for every page of the session: a GBK page reads as GBK, a UTF-8 one as UTF-8.
    form.OpenDocument(data + QStringLiteral("chinese-gbk.chm"));
    for (const char* page : {"second.htm", "utf8.htm"}) {
        form.Viewer->ShowFile((form.TempFolder + QLatin1String(page)).toStdU16String(), DocType::dtHtml);
        EXPECT_EQ(ToUtf8(form.Viewer->DocumentSource()), "<p>第二页</p>") << page;
    }
    form.CloseDocument();
    EXPECT_EQ(form.Viewer->CharSet(), DEFAULT_CHARSET) << "the language ends with its session";
    SetAnsiCodePageOverride(0);
}

TEST_F(ViewFormTest, ADefaultTopicOpensOnlyWhenItIsAFileInsideTheFolder)
{
    const QString outside = TempBase.filePath(QStringLiteral("outside.htm")); // beside the session folder
    WriteFile(outside);
    WriteFile(Payload + QStringLiteral("/top.htm"));
    WriteFile(Payload + QStringLiteral("/Html/Page.htm"));
    QDir().mkpath(Payload + QStringLiteral("/folder.htm"));
    ASSERT_TRUE(QFile::link(outside, Payload + QStringLiteral("/link.htm")));
    struct Case {
        const char* Topic;
        const char* Opens; // nullptr: the generated index
    };
    const Case cases[] = {
        {"html/page.HTM", "Html/Page.htm"},
        {"../outside.htm", nullptr},
        {"link.htm", nullptr}, // leads out of the folder
        {"folder.htm", nullptr},
        {"missing.htm", nullptr},
    };
    for (const Case& c : cases) {
        WriteDefaultTopic(c.Topic);
        const auto form = Form({DocumentNamed("a.chm")});
        const QString expected = c.Opens ? form->TempFolder + QLatin1String(c.Opens) : QString();
        EXPECT_EQ(QString::fromStdU16String(form->Viewer->CurrentPath()), expected) << c.Topic;
        if (!c.Opens) {
            EXPECT_NE(form->Viewer->DocumentSource().find(u"top.htm</a>"), u16::npos) << c.Topic;
        }
        EXPECT_EQ(form->SubFolder, c.Opens ? QStringLiteral("Html/") : QString()) << c.Topic;
        EXPECT_TRUE(Log.isEmpty()) << c.Topic << ": " << Log.join(u'\n').toStdString();
    }
}

TEST_F(ViewFormTest, AMissingTmpdirFolderPutsTheSessionUnderTmpNotAtTheTop)
{
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(TempBase.filePath(QStringLiteral("missing"))));
    TViewFormEnvironment environment = Environment();
    environment.TempBase.clear(); // the system's
    TViewForm form(std::move(environment), {});
    form.OpenDocument(DocumentNamed("a.chm"));
    EXPECT_TRUE(form.TempFolder.startsWith(QStringLiteral("/tmp/~~"))) << form.TempFolder.toStdString();
    EXPECT_TRUE(QFileInfo::exists(ExeDir.filePath(QStringLiteral("ran"))));
    EXPECT_TRUE(Log.isEmpty()) << Log.join(u'\n').toStdString();
    const QString folder = form.TempFolder;
    form.CloseDocument();
    EXPECT_FALSE(QFileInfo::exists(folder));
    if (wasSet)
        qputenv("TMPDIR", saved);
    else
        qunsetenv("TMPDIR");
}

TEST_F(ViewFormTest, AFailureInAMenuCommandIsShownAndTheCloseStillEndsTheSession)
{
    const auto form = Form({DocumentNamed("a.chm")});
    const QString folder = form->TempFolder;
    ASSERT_FALSE(folder.isEmpty());
    form->Viewer->OnParseBegin = [](THtmlViewer&, std::unique_ptr<TBuffer>&) { throw EhtException("Broken page."); };
    form->CloseMenuItem->trigger();
    form->Viewer->OnParseBegin = nullptr;
    EXPECT_EQ(Log, QStringList({"Failure: Broken page."}));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(form->TempFolder, QString());
    EXPECT_EQ(form->DocumentPath, QString());
}
