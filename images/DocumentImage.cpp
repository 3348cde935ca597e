#include "images/DocumentImage.h"

#include "images/ImageLoader.h"

namespace lantern {

namespace {

TDecodedImage FromDataUrl(u16v source, TransparencyKind transparency)
{
    const auto bytes = DataUrlBytes(source);
    return bytes ? DecodeImageStream(*bytes, transparency) : TDecodedImage{};
}

// The host's bitmap first, then its stream; without either, the file the expanded source names.
TDecodedImage FromHost(const TImageHost& host, u16v source, TransparencyKind transparency, bool& pending)
{
    if (host.BitmapRequest) {
        if (std::optional<THostBitmap> given = host.BitmapRequest(source); given && !given->Bitmap.IsEmpty()) {
            TDecodedImage out;
            out.Transparency = transparency;
            if (given->Transparent) {
                out.Mask = MakeCornerMask(given->Bitmap, given->Transparent);
                out.Transparency = TransparencyKind::Mask;
            } else if (transparency == TransparencyKind::Corner) {
                out.Mask = MakeCornerMask(given->Bitmap);
            }
            out.Image = std::make_unique<TBitmap>(std::move(given->Bitmap));
            return out;
        }
    }
    std::istream* stream = host.StreamRequest ? host.StreamRequest(source) : nullptr;
    if (stream == &PendingImageStream()) {
        pending = true;
        return {};
    }
    if (stream == &NoImageStream())
        return {};
    if (stream) {
        TDecodedImage out = DecodeImageStream(*stream, transparency);
        if (host.ImageRequested)
            host.ImageRequested(source, *stream);
        return out;
    }
    return DecodeImageFile(host.ExpandSourceName ? u16v(host.ExpandSourceName(source)) : source, transparency);
}

TImageFetch Load(TStringBitmapList& cache, const TImageHost& host, u16v source, TransparencyKind transparency)
{
    TImageFetch fetch;
    TDecodedImage decoded;
    if (IsDataImageUrl(source))
        decoded = FromDataUrl(source, transparency);
    else if (host.BitmapRequest || host.StreamRequest)
        decoded = FromHost(host, source, transparency, fetch.Pending);
    else
        decoded = DecodeImageFile(source, transparency);
    if (!decoded.Image)
        return fetch;
    fetch.Transparency = decoded.Transparency;
    const TransparencyKind stored = decoded.Mask ? decoded.Transparency : TransparencyKind::None;
    TBitmapItem& item = cache.CacheImage(source, std::make_unique<TBitmapItem>(std::move(decoded.Image), std::move(decoded.Mask), stored));
    fetch.Image = item.Image.get();
    fetch.Mask = item.Mask.get();
    return fetch;
}

TImageFetch Hit(TStringBitmapList& cache, int index, TransparencyKind transparency)
{
    TImageFetch fetch;
    fetch.FromCache = true;
    fetch.Transparency = transparency;
    fetch.Image = cache.FetchImage(index);
    TBitmapItem& item = cache.Item(index);
    if (item.Image->Kind() != ImageKind::Bitmap)
        return fetch;
    if (item.Transparency == TransparencyKind::Mask || item.Transparency == TransparencyKind::OwnMask) {
        fetch.Transparency = item.Transparency;
    } else if (transparency == TransparencyKind::Corner) {
        // A picture first fetched opaque gets its corner mask when a later element asks for one.
        if (!item.Mask)
            item.Mask = MakeCornerMask(static_cast<const TBitmap&>(*item.Image).Pixels);
        if (item.Mask)
            item.Transparency = TransparencyKind::Corner;
    }
    fetch.Mask = item.Mask.get();
    return fetch;
}

} // namespace

TImageFetch GetDocumentImage(TStringBitmapList& cache, const TImageHost& host, u16v source, TransparencyKind transparency)
{
    const u16v trimmed = TrimView(source);
    if (trimmed.empty())
        return {};
    try {
        const int index = cache.Find(trimmed);
        return index >= 0 ? Hit(cache, index, transparency) : Load(cache, host, trimmed, transparency);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace lantern
