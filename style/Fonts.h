// Platform fonts with the metrics text runs need (TMyFont), and the process-wide cache that makes one of them per
// distinct face, height, style and charset (TMyFontCache).
//
// The cache owns its fonts for the life of the process; a TMyFont handed to a text run is a copy the run owns,
// sharing the immutable platform font.
#pragma once

#include "common/Str.h"
#include "common/Types.h"
#include "platform/Font.h"
#include "style/FontInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lantern {

namespace platform {
class Canvas;
}

class TMyFont {
public:
    // The description.
    u16 Name;
    int Height = 0;          // pixels; negative for a character (em) height
    std::uint8_t Style = 0;  // FontBold | FontItalic | FontUnderline | FontStrikeOut
    int Charset = 1;
    Color FontColor = 0;
    // The measured font.
    Color BackColor = clNone;
    int TextHeight = 0;      // tmHeight
    int Descent = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    int RealizedCharset = 1; // tmCharSet
    int LetterSpacing = 0;   // pixels
    int EmSize = 0;          // tmHeight - tmInternalLeading
    int ExSize = 0;          // EmSize / 2
    platform::FontRef Handle;

    int Ascent() const { return TextHeight - Descent; }
    // Make this the canvas font, with its letter spacing as the inter-character extra.
    void SelectFontInto(platform::Canvas& canvas) const;
};

class TMyFontCache {
public:
    static TMyFontCache& Instance();

    // The cached font for this face (compared case-insensitively), height, style and charset, made and measured
    // on first request.
    const TMyFont& GetFont(u16v face, int height, std::uint8_t style, int charset);

    // Distinct fonts made so far.
    std::size_t FontCount() const;

private:
    struct Entry;
    TMyFontCache();
    ~TMyFontCache();
    std::vector<std::unique_ptr<Entry>> faces_; // sorted by face name, case-insensitively
};

// The pixel height of a font of `points` on the screen (negative: a character height).
int FontHeightOfPoints(double points);

// The charset the platform realises for a requested one; the engine's own values are taken as the platform's
// charset of their script (31, ISO 8859-2, as 238; 30, EUC-JP, as 128). Remembered per value.
int RealizedCharsetOf(int charset);

} // namespace lantern
