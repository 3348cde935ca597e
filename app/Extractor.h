// The external extractor that unpacks a help file: where it is installed, whether it is intact, and one run.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace lantern {

// The program and the library it needs, side by side in one folder.
inline constexpr char ExtractorProgramName[] = "7z";
inline constexpr char ExtractorLibraryName[] = "7z.so";
// Where the system's package installs them; Lantern's own folder is searched first.
inline constexpr char SystemExtractorFolder[] = "/usr/lib/p7zip/";

// True when the file looks like the extractor build Lantern expects.
using TIdentityCheck = std::function<bool(const QString& ProgramPath)>;

// The identity check of the installed extractor: a native executable (ELF magic bytes) that may be run.
bool IsNativeExecutable(const QString& ProgramPath);

enum class TExtractResult {
    Extracted,  // exit code 0
    NotStarted, // the program could not be started
    Failed,     // it ran and ended with another code, or crashed
};

class TExtractor {
public:
    // Folders searched in order; each ends in '/'.
    explicit TExtractor(QStringList Folders, TIdentityCheck IdentityCheck = IsNativeExecutable);

    // The program of the first folder that holds both files, when that program passes the identity check;
    // empty otherwise.
    QString CheckInstallation() const;

    // Unpacks DocumentPath into TempFolder with Program, waiting for the end without processing window
    // messages. The child's input is empty and its output is discarded as it comes, so it can neither wait
    // for an answer nor block on a full pipe.
    static TExtractResult Run(const QString& Program, const QString& TempFolder, const QString& DocumentPath);

    // The arguments of one run. The archive type is fixed to CHM so that an archive of another kind renamed
    // .chm is refused rather than unpacked; the document name is taken literally (no wildcards) and after
    // "--", so a name beginning with '-' cannot be read as a switch.
    static QStringList Arguments(const QString& TempFolder, const QString& DocumentPath);

private:
    QStringList Folders;
    TIdentityCheck IdentityCheck;
};

} // namespace lantern
