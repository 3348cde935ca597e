#include "app/StartPage.h"

#include "app/HelpSystemFile.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lantern {

namespace {

// The file of Folder named Name, compared case-insensitively when the exact name is missing; empty when none.
QString FindTopLevelFile(const QDir& Folder, const QString& Name)
{
    if (QFileInfo(Folder.filePath(Name)).isFile())
        return Folder.filePath(Name);
    const QFileInfoList files = Folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& file : files)
        if (file.fileName().compare(Name, Qt::CaseInsensitive) == 0)
            return file.filePath();
    return {};
}

// The listing keeps entries whose extension, lower-cased, is exactly ".htm" or ".html".
bool IsPageName(const QString& Name)
{
    const qsizetype dot = Name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = Name.mid(dot).toLower();
    return ext == QLatin1String(".htm") || ext == QLatin1String(".html");
}

} // namespace

QStringList ExistingStartPages(const QString& Folder)
{
    const QDir folder(Folder);
    QStringList pages;
    for (std::u16string_view name : StartPageNames) {
        const QString path = FindTopLevelFile(folder, QString::fromUtf16(name.data(), qsizetype(name.size())));
        if (!path.isEmpty())
            pages += path;
    }
    return pages;
}

std::optional<TDefaultTopic> LocateDefaultTopic(const QString& Folder, const THelpSystemFile& System)
{
    const QDir folder(Folder);
    const u16 top = (folder.absolutePath() + u'/').toStdU16String();
    const QString inside = QFileInfo(Folder).canonicalFilePath() + u'/';
    for (const u16& name : System.DefaultTopicNames()) {
        const std::optional<TTopicPath> topic = TopicPathInFolder(name);
        if (!topic)
            continue;
        const std::optional<u16> found = platform::LocateFile(top + topic->Path);
        if (!found)
            continue;
        const QString path = QString::fromStdU16String(*found);
        if (inside.size() < 2 || !QFileInfo(path).canonicalFilePath().startsWith(inside))
            continue;
        const QString relative = folder.relativeFilePath(path);
        const qsizetype slash = relative.lastIndexOf(u'/');
        return TDefaultTopic{path, QString::fromStdU16String(topic->Anchor), relative.left(slash + 1)};
    }
    return std::nullopt;
}

THelpSystemFile ReadHelpSystemFile(const QString& Folder)
{
    constexpr qint64 MaxHelpSystemFileSize = 1 << 20;
    QFile file(Folder + QStringLiteral("#SYSTEM"));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(MaxHelpSystemFileSize);
    return THelpSystemFile::Read(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
}

std::vector<TStartPage> StartPagesOf(const QString& Folder, const THelpSystemFile& System)
{
    std::vector<TStartPage> pages;
    for (const QString& page : ExistingStartPages(Folder))
        pages.push_back({page, QString()});
    if (pages.empty())
        // A help file without any of those names names its first page itself; its links are relative to its
        // folder, as for a page opened through a link.
        if (const std::optional<TDefaultTopic> topic = LocateDefaultTopic(Folder, System))
            pages.push_back({topic->Path + topic->Anchor, topic->SubFolder});
    return pages;
}

QString BuildIndexPage(const QString& Folder)
{
    QDir folder(Folder);
    const QFileInfoList entries =
        folder.entryInfoList({QStringLiteral("*.htm*")}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                             QDir::Name | QDir::IgnoreCase);
    QStringList lines = {QStringLiteral("<html>"), QStringLiteral("<body>")};
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir() && !name.startsWith(u'.'))
            continue;
        if (!IsPageName(name))
            continue;
        lines += QStringLiteral("<a href=\"") + (Folder + name).toHtmlEscaped() + QStringLiteral("\">") + name.toHtmlEscaped() +
                 QStringLiteral("</a><br />");
    }
    lines += QStringLiteral("</body>");
    lines += QStringLiteral("</html>");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace lantern
