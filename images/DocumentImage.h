// The one road by which every picture of a document (img elements, background images, list-style images)
// reaches the page: GetDocumentImage looks the source up in the document's image cache and, on a miss, loads it
// from a data url, from the host or from a file, and caches what it got.
//
// The document root's own GetDocumentImage delegates here, handing over its cache and a TImageHost whose
// callbacks lead to the viewer:
//
//     TImageFetch ThtDocument::GetDocumentImage(u16v source, TransparencyKind transparency)
//     {
//         return lantern::GetDocumentImage(*ImageCache, Host, source, transparency);
//     }
//
// where Host.StreamRequest is the viewer's ImageStreamFor, Host.ExpandSourceName the viewer's file-name expansion
// and the other two the host's bitmap-request and image-requested events (each may be left empty). The list of
// objects awaiting their pictures stays the document's: when Pending comes back set, the caller registers there.
//
// Uses: a picture handed out counts one use of its cache item (the fetch does that). Whoever keeps it calls
// cache.ReleaseImage(source) when it lets go; until then the pointers stay valid. An animated GIF taken from
// the cache (FromCache) is shared: an object that animates it makes its own TGIFImage::CopyForObject.
//
// Failures never raise: no picture (Image null) is the answer, and the caller shows the error picture.
#pragma once

#include "common/Str.h"
#include "images/ImageCache.h"

#include <functional>
#include <istream>
#include <optional>

namespace lantern {

// A picture the host hands over ready-made, with the colour to be transparent (none: opaque).
struct THostBitmap {
    platform::Bitmap Bitmap;
    std::optional<Color> Transparent;
};

struct TImageHost {
    // The host's bitmap request: a picture for the source, or none.
    std::function<std::optional<THostBitmap>(u16v source)> BitmapRequest;
    // The viewer's image-data request: a stream of the picture's bytes (read from its start to its end, during
    // the call only), PendingImageStream() when the picture comes later, NoImageStream() when there is none,
    // or null to have the picture read from the file the source names.
    std::function<std::istream*(u16v source)> StreamRequest;
    // Told after a stream from StreamRequest has been decoded.
    std::function<void(u16v source, std::istream& stream)> ImageRequested;
    // The viewer's expansion of a source into a file name (the source itself when empty).
    std::function<u16(u16v source)> ExpandSourceName;
};

struct TImageFetch {
    TImage* Image = nullptr;              // owned by the cache; null when there is no picture (yet)
    const platform::Mask* Mask = nullptr; // owned by the cache; null when the picture has none
    // The kind asked for, or what the picture brought (Mask for a transparent GIF or a host's colour).
    TransparencyKind Transparency = TransparencyKind::None;
    bool Pending = false;   // the host delivers the picture later; nothing was cached
    bool FromCache = false; // the picture was in the cache already
};

TImageFetch GetDocumentImage(TStringBitmapList& cache, const TImageHost& host, u16v source, TransparencyKind transparency);

} // namespace lantern
