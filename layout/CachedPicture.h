// A picture fetched through the document's image cache for what paints pictures behind or beside content: block
// backgrounds, list markers and the page's own background. The document's MakeBackgroundSource makes these.
//
// Ownership: holds one use of its cache item from the fetch until it is freed, and its own copy of an
// animation, so the page background steps its frames without disturbing the objects that show the same GIF.
#pragma once

#include "common/Str.h"
#include "layout/Block.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace lantern {

class TGIFImage;
class ThtDocument;

class TCachedPicture final : public TBackgroundSource {
public:
    TCachedPicture(ThtDocument& document, u16v source);
    ~TCachedPicture() override;

    // The fetch happens once; a picture the host delivers later stays Pending.
    State Load() override;
    State Current() const override { return state_; }
    const platform::Bitmap& Picture() const override { return picture_; }
    const platform::Mask* PictureMask() const override { return mask_ ? &*mask_ : nullptr; }

    // An animated picture's own animation (its first frame shows until it is stepped), or null.
    TGIFImage* Animation() const { return animation_.get(); }
    // Steps the animation when its frame is due; true when the picture changed.
    bool AdvanceAnimation(std::uint32_t now);

private:
    void TakeFrame();

    ThtDocument& document_;
    u16 source_;
    u16 used_; // the cache item held, once fetched
    bool asked_ = false;
    State state_ = State::Pending;
    platform::Bitmap picture_;
    std::optional<platform::Mask> mask_;
    std::unique_ptr<TGIFImage> animation_;
};

} // namespace lantern
