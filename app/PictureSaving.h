// Pictures taken out of a page: the formats a picture is saved in, the writers, and the save dialog's filter
// for each.
#pragma once

#include "app/Dialogs.h"

#include <QString>

#include <cstdint>
#include <optional>

class QIODevice;
class QImage;

namespace lantern {

enum class TPictureFormat : std::uint8_t { Jpeg, Bmp, Png, Gif };

// The format saved under an extension (".jpg", ".bmp", ".png", ".gif"); none for any other.
std::optional<TPictureFormat> PictureFormatOfExt(const QString& Ext);
// The extension a format is saved under, with its dot.
QString ExtOfPictureFormat(TPictureFormat Format);
// The save dialog set for a format: its filter and default extension.
TSaveFileRequest SaveRequestFor(TPictureFormat Format);

// Writes Picture in Format with the encoder's own default settings; GIF reduces to 256 colours only when
// the picture has more. Throws std::runtime_error with the encoder's message on failure, and leaves no file
// under Path then (an existing file stays as it was).
void SavePicture(const QImage& Picture, TPictureFormat Format, const QString& Path);

// The GIF encoder alone: one image, a global colour table of the picture's colours when it has at most 256,
// else of 256 colours chosen by median cut. Returns the failure text, empty on success.
QString WriteGif(const QImage& Picture, QIODevice& Device);

} // namespace lantern
