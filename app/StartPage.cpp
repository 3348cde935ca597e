#include "app/StartPage.h"

#include "app/HelpSystemFile.h"
#include "platform/FileSystem.h"

#include <QDir>
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
