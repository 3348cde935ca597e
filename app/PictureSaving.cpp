#include "app/PictureSaving.h"

#include "app/FileReplace.h"
#include "app/ViewForm.h"
#include "viewer/WaitCursor.h"

#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QMenu>

#include <gif_lib.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace lantern {

namespace {

struct TPictureFormatInfo {
    TPictureFormat Format;
    const char16_t* Ext;
    const char16_t* Filter;
    const char* WriterFormat; // of the framework's image writer; none for GIF
};

constexpr std::array PictureFormats{
    TPictureFormatInfo{TPictureFormat::Jpeg, u".jpg", u"JPG/JPEG Files (*.jpg *.jpeg)", "jpeg"},
    TPictureFormatInfo{TPictureFormat::Bmp, u".bmp", u"BMP Files (*.bmp)", "bmp"},
    TPictureFormatInfo{TPictureFormat::Png, u".png", u"PNG Files (*.png)", "png"},
    TPictureFormatInfo{TPictureFormat::Gif, u".gif", u"GIF Files (*.gif)", nullptr},
};

const TPictureFormatInfo& InfoOf(TPictureFormat Format)
{
    return PictureFormats[std::size_t(Format)];
}

constexpr int MaxGifColors = 256;
constexpr int MaxGifSide = 65535;

// The picture's own colours as a palette with each pixel's index, when there are at most 256 of them.
bool IndexExactly(const QImage& Picture, std::vector<GifColorType>& Palette, std::vector<GifByteType>& Indexes)
{
    QHash<QRgb, int> known;
    for (int y = 0; y < Picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
        for (int x = 0; x < Picture.width(); ++x) {
            const QRgb rgb = row[x] & RGB_MASK;
            auto found = known.constFind(rgb);
            if (found == known.constEnd()) {
                if (known.size() == MaxGifColors)
                    return false;
                found = known.insert(rgb, int(known.size()));
                Palette.push_back({GifByteType(qRed(rgb)), GifByteType(qGreen(rgb)), GifByteType(qBlue(rgb))});
            }
            Indexes.push_back(GifByteType(*found));
        }
    }
    return true;
}

// Median cut over the whole picture down to 256 colours.
QString IndexQuantized(const QImage& Picture, std::vector<GifColorType>& Palette, std::vector<GifByteType>& Indexes)
{
    const std::size_t count = std::size_t(Picture.width()) * std::size_t(Picture.height());
    std::vector<GifByteType> red(count), green(count), blue(count);
    std::size_t i = 0;
    for (int y = 0; y < Picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(Picture.constScanLine(y));
        for (int x = 0; x < Picture.width(); ++x, ++i) {
            red[i] = GifByteType(qRed(row[x]));
            green[i] = GifByteType(qGreen(row[x]));
            blue[i] = GifByteType(qBlue(row[x]));
        }
    }
    int size = MaxGifColors;
    Palette.assign(MaxGifColors, GifColorType{0, 0, 0});
    Indexes.assign(count, 0);
    if (GifQuantizeBuffer(unsigned(Picture.width()), unsigned(Picture.height()), &size, red.data(), green.data(),
                          blue.data(), Indexes.data(), Palette.data()) == GIF_ERROR)
        return QStringLiteral("The picture's colours cannot be reduced for GIF.");
    Palette.resize(std::size_t(size));
    // The quantizer works on 5 bits a channel and gives each entry its box's truncated mean, which darkens
    // every colour (white comes out as 248): each entry becomes the true mean of the pixels it stands for.
    std::vector<std::array<std::uint64_t, 4>> sums(Palette.size(), {0, 0, 0, 0});
    for (std::size_t p = 0; p < count; ++p) {
        auto& sum = sums[Indexes[p]];
        sum[0] += red[p];
        sum[1] += green[p];
        sum[2] += blue[p];
        ++sum[3];
    }
    for (std::size_t e = 0; e < Palette.size(); ++e)
        if (const std::uint64_t n = sums[e][3])
            Palette[e] = {GifByteType((sums[e][0] + n / 2) / n), GifByteType((sums[e][1] + n / 2) / n),
                          GifByteType((sums[e][2] + n / 2) / n)};
    return {};
}

int WriteToDevice(GifFileType* Gif, const GifByteType* Bytes, int Length)
{
    auto* device = static_cast<QIODevice*>(Gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(Bytes), Length));
}

QString GifError(int Code)
{
    const char* text = GifErrorString(Code);
    return QStringLiteral("GIF encoder: ") + QString::fromLatin1(text ? text : "unknown failure");
}

} // namespace

std::optional<TPictureFormat> PictureFormatOfExt(const QString& Ext)
{
    for (const TPictureFormatInfo& info : PictureFormats)
        if (Ext.compare(QString::fromUtf16(info.Ext), Qt::CaseInsensitive) == 0)
            return info.Format;
    return std::nullopt;
}

QString ExtOfPictureFormat(TPictureFormat Format)
{
    return QString::fromUtf16(InfoOf(Format).Ext);
}

TSaveFileRequest SaveRequestFor(TPictureFormat Format)
{
    const TPictureFormatInfo& info = InfoOf(Format);
    return {QString::fromUtf16(info.Filter), QString::fromUtf16(info.Ext + 1)};
}

QString WriteGif(const QImage& Picture, QIODevice& Device)
{
    if (Picture.isNull() || Picture.width() > MaxGifSide || Picture.height() > MaxGifSide)
        return QStringLiteral("A GIF picture is at most %1 pixels wide and high.").arg(MaxGifSide);
    const QImage rgb = Picture.convertToFormat(QImage::Format_RGB32);
    std::vector<GifColorType> palette;
    std::vector<GifByteType> indexes;
    indexes.reserve(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    if (!IndexExactly(rgb, palette, indexes)) {
        palette.clear();
        if (QString failure = IndexQuantized(rgb, palette, indexes); !failure.isEmpty())
            return failure;
    }
    // A colour table holds a power of two entries, two at least.
    const int bits = std::max(1, GifBitSize(int(palette.size())));
    palette.resize(std::size_t(1) << bits, GifColorType{0, 0, 0});
    ColorMapObject* map = GifMakeMapObject(int(palette.size()), palette.data());
    if (!map)
        return GifError(E_GIF_ERR_NOT_ENOUGH_MEM);
    struct FreeMap {
        ColorMapObject* Map;
        ~FreeMap() { GifFreeMapObject(Map); }
    } freeMap{map};

    int error = 0;
    GifFileType* gif = EGifOpen(&Device, WriteToDevice, &error);
    if (!gif)
        return GifError(error);
    bool written = EGifPutScreenDesc(gif, rgb.width(), rgb.height(), bits, 0, map) == GIF_OK &&
                   EGifPutImageDesc(gif, 0, 0, rgb.width(), rgb.height(), false, nullptr) == GIF_OK;
    for (int y = 0; written && y < rgb.height(); ++y)
        written = EGifPutLine(gif, indexes.data() + std::size_t(y) * std::size_t(rgb.width()), rgb.width()) == GIF_OK;
    const int failedWith = written ? 0 : gif->Error;
    if (EGifCloseFile(gif, &error) != GIF_OK && written)
        return GifError(error);
    return written ? QString() : GifError(failedWith);
}

void SavePicture(const QImage& Picture, TPictureFormat Format, const QString& Path)
{
    const TPictureFormatInfo& info = InfoOf(Format);
    const QString failure = ReplaceFile(Path, [&](QIODevice& File) -> QString {
        if (!info.WriterFormat)
            return WriteGif(Picture, File);
        QImageWriter writer(&File, info.WriterFormat);
        return writer.write(Picture) ? QString() : writer.errorString();
    });
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

// ---- The picture menu of the window

void TViewForm::ViewerRightClick(THtmlViewer&, const TRightClickParameters& Parameters)
{
    if (DocumentPath.isEmpty() || !Parameters.PictureObject || !PictureOfObject)
        return;
    std::optional<platform::Bitmap> picture = PictureOfObject(*Parameters.PictureObject);
    if (!picture || picture->IsEmpty())
        return;
    PickedImage = std::move(picture);
    PopupMenu->popup(QCursor::pos());
}

void TViewForm::CopyImageMenuItemClick()
{
    if (!DocumentPath.isEmpty() && PickedImage)
        QGuiApplication::clipboard()->setImage(PickedImage->Image());
}

void TViewForm::SaveImageAs(const QString& Ext)
{
    const std::optional<TPictureFormat> format = PictureFormatOfExt(Ext);
    if (DocumentPath.isEmpty() || !PickedImage || !format)
        return;
    if (Ext.compare(u'.' + SaveDialog.DefaultExt, Qt::CaseInsensitive) != 0)
        SaveDialog = SaveRequestFor(*format);
    const QString name = FDialogs->ChooseSaveFile(SaveDialog);
    if (name.isEmpty())
        return;
    // The file is replaced only once the new one is complete, so No and a failed save both keep it.
    if (QFileInfo(name).exists() || QFileInfo(name).isSymLink()) {
        if (!FMessages->Confirm(QStringLiteral("The image file \"") + name +
                                QStringLiteral("\" file already exists. Do you want to overwrite it?")))
            return;
    }
    TWaitCursor hourglass;
    SavePicture(PickedImage->Image(), *format, name);
}

void TViewForm::SaveAsJPGMenuItemClick()
{
    SaveImageAs(ExtOfPictureFormat(TPictureFormat::Jpeg));
}

void TViewForm::SaveAsBMPMenuItemClick()
{
    SaveImageAs(ExtOfPictureFormat(TPictureFormat::Bmp));
}

void TViewForm::SaveAsPNGMenuItemClick()
{
    SaveImageAs(ExtOfPictureFormat(TPictureFormat::Png));
}

void TViewForm::SaveAsGIF1Click()
{
    SaveImageAs(ExtOfPictureFormat(TPictureFormat::Gif));
}

} // namespace lantern
