#include "app/TempFolder.h"

#include "app/ExportFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace lantern {

namespace fs = std::filesystem;

namespace {

// Enough attempts that only a folder we cannot write to ends the search.
constexpr int MaxTempNameAttempts = 100;

fs::path NativePath(const QString& Path)
{
    QString p = Path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1); // a trailing '/' would make the file system resolve a symbolic link named by Path
    return fs::path(QFile::encodeName(p).toStdString());
}

} // namespace

std::uint32_t RandomTempNumber()
{
    return QRandomGenerator::system()->generate();
}

QString TempFilesFolder(const QString& Fallback)
{
    const auto serves = [](const QString& Folder) {
        const QFileInfo info(Folder);
        return info.isAbsolute() && info.isDir() && ::access(QFile::encodeName(Folder).constData(), W_OK | X_OK) == 0;
    };
    const QString preferred = qEnvironmentVariable("TMPDIR");
    if (!preferred.isEmpty() && serves(preferred))
        return QDir::cleanPath(preferred);
    if (serves(Fallback))
        return QDir::cleanPath(Fallback);
    return {};
}

QString MakeTempName(const QString& Base, const QString& Ext, const TTempNumberSource& NextNumber)
{
    if (Base.isEmpty())
        return {}; // a folder name built on nothing would land at the top of the file system
    QString folder = Base;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    for (int attempt = 0; attempt < MaxTempNameAttempts; ++attempt) {
        const QString name = folder + QStringLiteral("~~") + QString::number(NextNumber(), 16).toUpper() + Ext;
        if (::mkdir(QFile::encodeName(name).constData(), 0700) == 0)
            return name + u'/';
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool DeleteFolderTree(const QString& Path)
{
    if (Path.isEmpty())
        return false;
    std::error_code error;
    fs::remove_all(NativePath(Path), error); // removes symbolic links themselves, never what they point to
    return !error && !fs::exists(fs::symlink_status(NativePath(Path), error));
}

bool CopyFolderContents(const QString& From, const QString& To)
{
    return ExportFolderTree(From, To).Complete();
}

bool IsFolderEmpty(const QString& Path)
{
    std::error_code error;
    const fs::path path = NativePath(Path);
    if (!fs::is_directory(fs::symlink_status(path, error)))
        return false;
    return fs::is_empty(path, error) && !error;
}

} // namespace lantern
