#include "app/ExportFiles.h"

#include "app/FileReplace.h"
#include "app/TempFolder.h"
#include "app/ViewForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace lantern {

namespace fs = std::filesystem;

namespace {

const QString ExportCaption = QStringLiteral("Select a folder to save the exported file.");
// An error box with more lines than this would not fit on the screen.
constexpr qsizetype MaxProblemLines = 20;

QString Native(const fs::path& Path)
{
    return QFile::decodeName(QByteArray::fromStdString(Path.native()));
}

fs::path NativePath(const QString& Path)
{
    return fs::path(QFile::encodeName(QDir::cleanPath(Path)).toStdString());
}

class TTreeExport {
public:
    TTreeExport(fs::path From, fs::path To) : FFrom(std::move(From)), FTo(std::move(To)) {}

    TExportReport Run()
    {
        std::error_code error;
        if (!fs::is_directory(fs::symlink_status(FFrom, error))) {
            Report({}, QStringLiteral("the unpacked files are gone"));
            return std::move(FReport);
        }
        fs::create_directories(FTo, error);
        if (error || !fs::is_directory(FTo, error))
            Report({}, QStringLiteral("the folder cannot be made"));
        else
            CopyFolder({});
        return std::move(FReport);
    }

private:
    void CopyFolder(const fs::path& Relative)
    {
        std::error_code error;
        fs::directory_iterator entries(FFrom / Relative, error);
        if (error) {
            Report(Relative, QStringLiteral("cannot be read"));
            return;
        }
        for (const fs::directory_entry& entry : entries) {
            const fs::path name = Relative / entry.path().filename();
            const fs::file_status source = entry.symlink_status(error);
            if (fs::is_directory(source))
                CopySubFolder(name);
            else if (fs::is_regular_file(source))
                CopyFile(name);
            // Links, devices and pipes are not part of the pages.
        }
    }

    void CopySubFolder(const fs::path& Relative)
    {
        std::error_code error;
        const fs::path target = FTo / Relative;
        const fs::file_status status = fs::symlink_status(target, error);
        if (!fs::exists(status)) {
            if (!fs::create_directory(target, error)) {
                Report(Relative, QStringLiteral("the folder cannot be made"));
                return;
            }
        } else if (!fs::is_directory(status)) {
            Report(Relative, fs::is_symlink(status) ? QStringLiteral("a link of that name is in the way")
                                                    : QStringLiteral("a file of that name is in the way"));
            return;
        }
        CopyFolder(Relative);
    }

    void CopyFile(const fs::path& Relative)
    {
        std::error_code error;
        const fs::path target = FTo / Relative;
        if (fs::is_directory(fs::symlink_status(target, error))) {
            Report(Relative, QStringLiteral("a folder of that name is in the way"));
            return;
        }
        QFile source(Native(FFrom / Relative));
        if (!source.open(QIODevice::ReadOnly)) {
            Report(Relative, source.errorString());
            return;
        }
        const QString failure = ReplaceFile(Native(target), [&](QIODevice& File) -> QString {
            char buffer[64 * 1024];
            for (qint64 got; (got = source.read(buffer, sizeof buffer)) > 0;)
                if (File.write(buffer, got) != got)
                    return File.errorString();
            return source.error() == QFileDevice::NoError ? QString() : source.errorString();
        });
        if (failure.isEmpty())
            ++FReport.FilesCopied;
        else
            Report(Relative, failure);
    }

    void Report(const fs::path& Relative, const QString& Why)
    {
        FReport.Problems += (Relative.empty() ? Native(FTo) : Native(Relative)) + QStringLiteral(": ") + Why;
    }

    fs::path FFrom;
    fs::path FTo;
    TExportReport FReport;
};

// True when Inner is Outer or lies below it, judged by the folders' real places.
bool IsInside(const QString& Inner, const QString& Outer)
{
    const QString inner = QFileInfo(Inner).canonicalFilePath();
    const QString outer = QFileInfo(Outer).canonicalFilePath();
    return !inner.isEmpty() && !outer.isEmpty() && (inner == outer || inner.startsWith(outer + u'/'));
}

} // namespace

TExportReport ExportFolderTree(const QString& From, const QString& To)
{
    return TTreeExport(NativePath(From), NativePath(To)).Run();
}

void TViewForm::ExportAsHTMLFilesMenuItemClick()
{
    if (DocumentPath.isEmpty())
        return;
    QString start = QFileInfo(DocumentPath).absolutePath() + u'/';
    if (!QFileInfo(start).isDir())
        start.clear();
    const QString dir = FDialogs->ChooseFolder(ExportCaption, start);
    if (dir.isEmpty())
        return;
    if (!QFileInfo(dir).isDir()) {
        FMessages->Error(QStringLiteral("The directory \"") + dir + QStringLiteral("\" do not exists."));
        return;
    }
    // Copying a tree into itself would never end.
    if (IsInside(dir, TempFolder)) {
        FMessages->Error(QStringLiteral("The directory \"") + dir +
                         QStringLiteral("\" holds the open help file's own files and cannot take their copy."));
        return;
    }
    if (!IsFolderEmpty(dir) &&
        !FMessages->Confirm(QStringLiteral("The directory \"") + dir +
                            QStringLiteral("\" is not empty. Do you want to overwrite it?")))
        return;
    TExportReport report;
    {
        struct HidePanelAtEnd {
            TViewForm* Form;
            ~HidePanelAtEnd() { Form->ShowMessagePanel(QString()); }
        } hidePanel{this};
        ShowMessagePanel(QStringLiteral("Exporting files ..."));
        report = ExportFolderTree(TempFolder, dir);
    }
    if (!report.Complete()) {
        QStringList lines = report.Problems.mid(0, MaxProblemLines);
        if (report.Problems.size() > MaxProblemLines)
            lines += QStringLiteral("...");
        FMessages->Error(QStringLiteral("Some files were not exported to \"") + dir + QStringLiteral("\":\n") +
                         lines.join(u'\n'));
    }
}

} // namespace lantern
