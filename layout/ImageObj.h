// The pictures and panels that stand in running text: TImageObj (an IMG element) and TPanelObj (a PANEL
// element: a box the host may fill). Both size themselves from
// their attributes, their element's style and, for pictures, the picture's own size; line layout places them on
// a line or as a float, and they paint themselves where the line puts them.
//
// Ownership: an object belongs to its text section. A picture holds one use of its image cache item (given
// back when it is freed), owns its own copy of an animation it shares with others, and borrows the placeholder
// pictures and its document. It sits in the document's id table, its animation list and its list of pictures
// awaiting data only while it lives.
#pragma once

#include "common/Str.h"
#include "images/Image.h"
#include "layout/InlineObjects.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace lantern {

class TAttributeList;
class TGIFImage;
class TImageFormControlObj;
class TMapItem;
class ThtDocument;

class TImageObj final : public TFloatingObj {
public:
    // From an IMG element: registers the object under its NAME and ID.
    TImageObj(ThtDocument& document, const TAttributeList& attributes);
    ~TImageObj() override;

    TImageObj* AsImage() override { return this; }
    std::unique_ptr<TFloatingObj> CloneObject() const override;

    // Loads the picture on first need and settles the size against the space offered.
    void MeasureObject(platform::Canvas& canvas, const TFontObj& run, int availableHeight, int availableWidth) override;
    void Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop) override;

    // The picture as it shows now as a plain bitmap (an animation's current frame, an alpha picture on white);
    // none for the error picture and before anything was loaded.
    std::optional<platform::Bitmap> PictureBitmap() const;
    // 0 off, 1 under the pointer, 2 pressed: an ACTIVE animated picture shows its frames for the states.
    void SetHover(std::uint8_t state);
    // The map the picture's USEMAP names, when the document has it.
    TMapItem* Map() const;
    // The animation the object shows, or null.
    TGIFImage* Animation() const { return Gif; }
    // The picture shown now (the image, or a placeholder; null before the first measure), and whether it is a
    // placeholder: the error or default picture, or any picture while images are off.
    const TImage* Picture() const { return Image; }
    bool ShowsPlaceholder() const;

    u16 Source;
    TransparencyKind Transparency = TransparencyKind::None;
    bool IsMap = false;
    bool UseMap = false;
    u16 MapName; // upper case, without a leading "#"
    bool Active = false;
    bool Pending = false; // the host delivers the picture later
    std::uint8_t HoverState = 0;
    int ImageWidth = 0, ImageHeight = 0; // the picture's size on the page, borders not included
    int BoxWidth = 0, BoxHeight = 0;     // the box inside the border (larger than the picture for a placeholder)
    TImageFormControlObj* FormControl = nullptr; // an image input's control, which a click on the picture submits

private:
    TImageObj(ThtDocument& document, const TImageObj& source); // for CloneObject

    void ReadAttributes(const TAttributeList& attributes);
    void LoadImage();
    void UsePicture(TImage* image, const platform::Mask* mask, bool fromCache);
    void ComputeBox(platform::Canvas& canvas, bool placeholder);
    void DrawPicture(platform::PaintCanvas& canvas, const TImage& picture, bool placeholder, int x, int y);
    void DrawAltBox(platform::PaintCanvas& canvas, const TFontObj& run, const Rect& box, bool framed);
    void LeaveDocumentLists();

    ThtDocument* Document;
    const TImage* Image = nullptr;          // the cache's, the own animation copy, or a placeholder
    TGIFImage* Gif = nullptr;               // Image when it is an animation
    const platform::Mask* Mask = nullptr;   // the cache's or the error picture's
    u16 UsedSource;                         // the cache item this object holds a use of
    std::unique_ptr<TGIFImage> OwnAnimation; // a copy of a shared animation, stepped by this object alone
};

class TPanelObj final : public TFloatingObj {
public:
    TPanelObj(ThtDocument& document, const TAttributeList& attributes);
    ~TPanelObj() override;

    std::unique_ptr<TFloatingObj> CloneObject() const override;
    void MeasureObject(platform::Canvas& canvas, const TFontObj& run, int availableHeight, int availableWidth) override;
    // The panel's box: white with a single black frame, as the host's control shows while nothing fills it.
    void Draw(platform::PaintCanvas& canvas, int x, const TFontObj& run, int baseline, int lineTop) override;

    u16 Name, Source, Type;
    // The size the host's control has on its own (30 x 20 until the host sets it up).
    int NaturalWidth = 30, NaturalHeight = 20;

private:
    ThtDocument* Document;
};

// Where an object's top goes on its line (screen Y), by its vertical alignment: baseline and lineTop are those
// of the line, the run the text font around it. A float keeps lineTop.
int ObjectTop(const TFloatingObj& object, const TFontObj& run, int baseline, int lineTop);

} // namespace lantern
