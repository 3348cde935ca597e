#include "tools/render/RenderInput.h"

#include "app/Extractor.h"
#include "app/HelpSystemFile.h"
#include "app/StartPage.h"
#include "app/TempFolder.h"
#include "markup/CodePages.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace lantern {

namespace {

constexpr QLatin1StringView HelpFileSuffix(".chm");

bool IsHelpFileName(const QString& path) { return path.endsWith(HelpFileSuffix, Qt::CaseInsensitive); }

} // namespace

TRenderInput::TRenderInput(const QString& argument) : CharSet(DEFAULT_CHARSET)
{
    // "FILE.chm:inner/page.htm" names a page inside; a file whose own name holds ".chm:" still counts as a file.
    QString file = argument;
    QString inner;
    const qsizetype split = argument.indexOf(HelpFileSuffix + u':', 0, Qt::CaseInsensitive);
    if (split >= 0 && !QFileInfo(argument).isFile()) {
        file = argument.left(split + HelpFileSuffix.size());
        inner = argument.mid(split + HelpFileSuffix.size() + 1);
    }
    if (!QFileInfo(file).isFile())
        throw ERenderInput("no such file: " + file.toStdString());
    if (IsHelpFileName(file))
        Unpack(QFileInfo(file).absoluteFilePath(), inner);
    else
        PagePath = QFileInfo(file).absoluteFilePath();
}

TRenderInput::~TRenderInput()
{
    if (!TempFolder.isEmpty())
        DeleteFolderTree(TempFolder);
}

void TRenderInput::Unpack(const QString& helpFile, const QString& innerPage)
{
    const TExtractor extractor({QCoreApplication::applicationDirPath() + u'/', QString::fromLatin1(SystemExtractorFolder)});
    const QString program = extractor.CheckInstallation();
    if (program.isEmpty())
        throw ERenderInput("no usable extractor (7z with 7z.so beside it) is installed");
    TempFolder = MakeTempName(TempFilesFolder(), QStringLiteral("temp"));
    if (TempFolder.isEmpty())
        throw ERenderInput("no temporary folder can be made");
    if (TExtractor::Run(program, TempFolder, helpFile) != TExtractResult::Extracted)
        throw ERenderInput("not a help file that can be unpacked: " + helpFile.toStdString());

    const THelpSystemFile system = ReadHelpSystemFile(TempFolder);
    if (system.Language)
        CharSet = CharSetOfCodePage(system.CodePage());
    if (!innerPage.isEmpty()) {
        // Named as a link inside the help file is: relative to its top, letter case as it may come.
        const std::optional<TTopicPath> topic = TopicPathInFolder(innerPage.toStdU16String());
        const std::optional<u16> found =
            topic ? platform::LocateFile(TempFolder.toStdU16String() + topic->Path) : std::nullopt;
        if (!found)
            throw ERenderInput("no page " + innerPage.toStdString() + " in " + helpFile.toStdString());
        PagePath = QString::fromStdU16String(*found + topic->Anchor);
        return;
    }
    const std::vector<TStartPage> pages = StartPagesOf(TempFolder, system);
    if (pages.empty())
        IndexPage = BuildIndexPage(TempFolder);
    else
        PagePath = pages.back().File;
}

} // namespace lantern
