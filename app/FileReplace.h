// Files written for the user (saved pictures, exported pages) appear whole or not at all.
#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace lantern {

// Fills the open file; returns the failure text, empty on success.
using TFileWriter = std::function<QString(QIODevice& File)>;

// Writes Path through a fresh temporary file beside it that is renamed over Path once Write succeeded, so a
// failure leaves no half-written file under the name and an existing file stays as it was. An entry already
// at Path is replaced, never written through: a symbolic link there is replaced by the file, its target is
// not touched, and a folder there makes the write fail. Returns the failure text, empty on success.
QString ReplaceFile(const QString& Path, const TFileWriter& Write);

} // namespace lantern
