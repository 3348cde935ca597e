// The document session's private folder: created fresh for every open, deleted with its whole tree at close.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace lantern {

// Supplies the unique numbers that make temporary names; replaceable so that tests can force collisions.
using TTempNumberSource = std::function<std::uint32_t()>;

// A random 32-bit number from the system's secure generator.
std::uint32_t RandomTempNumber();

// The folder for session folders: TMPDIR when it names an existing folder that may be written to, else
// Fallback when that one does; empty when neither serves, so that nothing is made or unpacked elsewhere.
QString TempFilesFolder(const QString& Fallback = QStringLiteral("/tmp"));

// Creates a new folder `Base`/~~<hex number><Ext>/ with owner-only permissions and returns its path with a
// trailing '/'; empty when no folder could be made, or Base is empty. The folder is made with one mkdir, which fails on any
// existing entry of that name (file, folder or symbolic link), so a name someone else holds, or planted,
// is never reused or deleted: another number is drawn instead.
QString MakeTempName(const QString& Base, const QString& Ext,
                     const TTempNumberSource& NextNumber = RandomTempNumber);

// Deletes Path with everything below it. Symbolic links inside are removed as links; their targets are
// never touched. True when nothing of Path is left.
bool DeleteFolderTree(const QString& Path);

// Copies the files and folders inside From into To (created when missing), replacing files of the same
// name. Symbolic links are not followed or copied, so a copy never reaches outside From. True on success.
bool CopyFolderContents(const QString& From, const QString& To);

// True when Path is an existing folder without any entry.
bool IsFolderEmpty(const QString& Path);

} // namespace lantern
