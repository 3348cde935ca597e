#include "app/Extractor.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <utility>

namespace lantern {

bool IsNativeExecutable(const QString& ProgramPath)
{
    const QFileInfo info(ProgramPath);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(ProgramPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(4) == QByteArrayLiteral("\x7f" "ELF");
}

TExtractor::TExtractor(QStringList Folders, TIdentityCheck IdentityCheck)
    : Folders(std::move(Folders)), IdentityCheck(std::move(IdentityCheck))
{
}

QString TExtractor::CheckInstallation() const
{
    for (const QString& folder : Folders) {
        const QString program = folder + QLatin1String(ExtractorProgramName);
        if (!QFileInfo(program).isFile() || !QFileInfo(folder + QLatin1String(ExtractorLibraryName)).isFile())
            continue;
        return IdentityCheck(program) ? program : QString();
    }
    return {};
}

QStringList TExtractor::Arguments(const QString& TempFolder, const QString& DocumentPath)
{
    return {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-tChm"), QStringLiteral("-spd"),
            QStringLiteral("-o") + TempFolder, QStringLiteral("--"), DocumentPath};
}

TExtractResult TExtractor::Run(const QString& Program, const QString& TempFolder, const QString& DocumentPath)
{
    QProcess child;
    child.setStandardInputFile(QProcess::nullDevice());
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(Program, Arguments(TempFolder, DocumentPath), QIODevice::ReadOnly);
    if (!child.waitForStarted(-1))
        return TExtractResult::NotStarted;
    child.waitForFinished(-1);
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return TExtractResult::Extracted;
    return TExtractResult::Failed;
}

} // namespace lantern
