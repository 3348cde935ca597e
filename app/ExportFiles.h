// Export of the unpacked help file: every file and folder of the session folder copied into a folder the
// user chose.
#pragma once

#include <QString>
#include <QStringList>

namespace lantern {

struct TExportReport {
    int FilesCopied = 0;
    QStringList Problems; // one line per entry that was not copied, naming it relative to the destination
    bool Complete() const { return Problems.isEmpty(); }
};

// Copies the files and folders inside From into To (made when missing), replacing files of the same name.
// Symbolic links inside From are neither followed nor copied, and none inside To is written through, so
// nothing is read from outside From or written outside To. A file meeting a folder of its name, or a folder
// meeting a file or link, is reported instead of merged. Each file is written whole or not at all.
TExportReport ExportFolderTree(const QString& From, const QString& To);

} // namespace lantern
