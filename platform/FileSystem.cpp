#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lantern::platform {

namespace {

QString ToQ(u16v s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
u16 FromQ(const QString& s) { return u16(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size())); }

} // namespace

u16 FullPath(u16v Name)
{
    return FromQ(QDir::cleanPath(QDir::current().absoluteFilePath(ToQ(Name))));
}

bool FileExists(u16v Path)
{
    QFileInfo info(ToQ(Path));
    return info.exists() && !info.isDir();
}

std::optional<u16> LocateFile(u16v Path)
{
    if (FileExists(Path))
        return u16(Path);
    QString path = QDir::cleanPath(ToQ(Path));
    if (!path.startsWith(u'/'))
        return std::nullopt;

    const QStringList segments = path.split(u'/', Qt::SkipEmptyParts);
    QString found = QStringLiteral("/");
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString& segment = segments[i];
        QDir dir(found);
        QString candidate = dir.filePath(segment);
        if (!QFileInfo::exists(candidate)) {
            candidate.clear();
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (entry.compare(segment, Qt::CaseInsensitive) == 0) {
                    candidate = dir.filePath(entry);
                    break;
                }
            }
            if (candidate.isEmpty())
                return std::nullopt;
        }
        found = candidate;
    }
    u16 result = FromQ(found);
    if (!FileExists(result))
        return std::nullopt;
    return result;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(u16v Path)
{
    QFile file(ToQ(Path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace lantern::platform
