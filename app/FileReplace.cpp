#include "app/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lantern {

namespace {

// A temporary file is made for its owner only; the finished file gets the permissions a new file would.
QFile::Permissions NewFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFile::Permissions permissions;
    const std::pair<mode_t, QFile::Permissions> bits[] = {
        {S_IRUSR, QFile::ReadOwner | QFile::ReadUser}, {S_IWUSR, QFile::WriteOwner | QFile::WriteUser},
        {S_IRGRP, QFile::ReadGroup}, {S_IWGRP, QFile::WriteGroup},
        {S_IROTH, QFile::ReadOther}, {S_IWOTH, QFile::WriteOther},
    };
    for (const auto& [bit, permission] : bits)
        if (mode & bit)
            permissions |= permission;
    return permissions;
}

QString SystemError(const QString& Path)
{
    return QStringLiteral("Cannot write \"%1\": %2.").arg(Path, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

QString ReplaceFile(const QString& Path, const TFileWriter& Write)
{
    const QFileInfo target(Path);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return QStringLiteral("Cannot write \"%1\": %2.").arg(Path, file.errorString());
    if (QString failure = Write(file); !failure.isEmpty())
        return failure;
    if (!file.flush() || ::fsync(file.handle()) != 0)
        return SystemError(Path);
    file.setPermissions(NewFilePermissions());
    // rename() replaces whatever entry holds the name, a symbolic link included, and refuses a folder.
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(Path).constData()) != 0)
        return SystemError(Path);
    file.setAutoRemove(false); // its name is gone: it is the file at Path now
    return {};
}

} // namespace lantern
