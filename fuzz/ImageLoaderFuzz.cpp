// Fuzz target for the picture loader: format detection, every decoder behind it and data urls. The first byte
// picks the route: the rest is either the bytes of a picture file or the text of an image source (Latin-1) that
// goes through the document's fetch and its cache twice, so both the miss and the hit are taken.
#include "images/DocumentImage.h"
#include "images/ImageLoader.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <span>

using namespace lantern;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    const auto transparency = static_cast<TransparencyKind>(mode & 3);
    if ((mode & 4) == 0) {
        DetectImageFormat(rest);
        DecodeImageStream(rest, transparency);
        return 0;
    }
    u16 source = u"data:image/gif;base64,";
    if (mode & 8)
        source.clear();
    source.append(rest.begin(), rest.end());
    DataUrlBytes(source);
    TStringBitmapList cache;
    cache.SetMaxAge(1);
    // Sources that are no data url must not reach the file system: the host answers that it has no picture.
    TImageHost host;
    host.StreamRequest = [](u16v) { return &NoImageStream(); };
    const TImageFetch first = GetDocumentImage(cache, host, source, transparency);
    const TImageFetch again = GetDocumentImage(cache, host, source, TransparencyKind::Corner);
    if (first.Image && again.Image != first.Image)
        __builtin_trap();
    cache.ReleaseImage(source);
    cache.ReleaseImage(source);
    cache.PurgeImages();
    cache.PurgeImages();
    if (cache.Count() != 0)
        __builtin_trap();
    return 0;
}
