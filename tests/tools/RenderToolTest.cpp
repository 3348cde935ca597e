// lantern-render as a user runs it: pages and help files to PNG, and bad input answered with one line and
// status 2.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct TRun {
    int Status = -1;
    QString Err;
    QString Out;
};

TRun RunRender(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(LANTERN_BINARY_DIR "/tools/lantern-render"), arguments);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError()),
            QString::fromLocal8Bit(p.readAllStandardOutput())};
}

bool HaveExtractor() { return std::filesystem::exists("/usr/lib/p7zip/7z"); }

class RenderTool : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& html)
    {
        QFile f(Dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(html);
        return f.fileName();
    }
    QTemporaryDir Dir;
};

TEST_F(RenderTool, PageToPicture)
{
    const QString page = Write(QStringLiteral("page.htm"), "<body bgcolor=#ffff00><h1>Title</h1><p>Some text.");
    const QString out = Dir.filePath(QStringLiteral("page.png"));
    const TRun run = RunRender({QStringLiteral("--width"), QStringLiteral("320"), QStringLiteral("--out"), out,
                                QStringLiteral("--timings"), page});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("parse"))) << run.Out.toStdString();
    const QImage picture(out);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), 320);
    EXPECT_GT(picture.height(), 40);
    EXPECT_EQ(picture.pixel(1, picture.height() - 1), qRgb(255, 255, 0)) << "the page's own background";
}

TEST_F(RenderTool, WideContentWidensThePicture)
{
    const QString page = Write(QStringLiteral("wide.htm"), "<pre>" + QByteArray(200, 'x') + "</pre>");
    const QString out = Dir.filePath(QStringLiteral("wide.png"));
    ASSERT_EQ(RunRender({QStringLiteral("--width"), QStringLiteral("300"), QStringLiteral("--out"), out, page}).Status, 0);
    const QImage picture(out);
    EXPECT_GT(picture.width(), 300);
    EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 255, 255)) << "white where the page sets no background";
}

TEST_F(RenderTool, HelpFileStartPageAndInnerPage)
{
    if (!HaveExtractor())
        GTEST_SKIP() << "no extractor";
    const QString help = QStringLiteral(LANTERN_SOURCE_DIR "/samples/lantern-guide.chm");
    const QString start = Dir.filePath(QStringLiteral("start.png"));
    const QString inner = Dir.filePath(QStringLiteral("inner.png"));
    const TRun first = RunRender({QStringLiteral("--out"), start, help});
    ASSERT_EQ(first.Status, 0) << first.Err.toStdString();
    const TRun second = RunRender({QStringLiteral("--out"), inner, help + QStringLiteral(":Topics/KEYS.htm")});
    ASSERT_EQ(second.Status, 0) << second.Err.toStdString();
    EXPECT_EQ(QImage(start).width(), 800);
    EXPECT_NE(QImage(start), QImage(inner));
}

TEST_F(RenderTool, BadInputIsOneLineAndStatusTwo)
{
    const QString notHelp = QStringLiteral(LANTERN_TEST_DATA "/app/not-a-help-file.chm");
    const QStringList cases[] = {
        {Dir.filePath(QStringLiteral("missing.htm"))},
        {QStringLiteral("--width")},
        {QStringLiteral(LANTERN_SOURCE_DIR "/samples/lantern-guide.chm:no/such.htm")},
        {notHelp},
    };
    for (const QStringList& arguments : cases) {
        if (arguments.front().endsWith(QStringLiteral(".chm")) && !HaveExtractor())
            continue;
        const TRun run = RunRender(arguments);
        EXPECT_EQ(run.Status, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("lantern-render: "))) << run.Err.toStdString();
    }
}

TEST_F(RenderTool, BenchPrintsTheProtocolLine)
{
    const QString page = Write(QStringLiteral("b.htm"), "<p>one<p>two");
    const TRun run = RunRender({QStringLiteral("--bench"), QStringLiteral("-n"), QStringLiteral("3"), page});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.Out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(u'#'));
    const QStringList fields = lines[1].split(u'\t');
    ASSERT_EQ(fields.size(), 9);
    EXPECT_EQ(fields[0], page);
    EXPECT_GT(fields[4].toInt(), 0) << "height";
    EXPECT_EQ(fields[5], QStringLiteral("3")) << "runs";
}

} // namespace
