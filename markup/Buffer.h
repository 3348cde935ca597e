// TBuffer: the character source of the HTML and CSS readers.
//
// It owns the bytes of one document (or of a decoded string as UTF-16LE) and hands out one UTF-16 unit
// at a time. The read position is a byte offset that callers save and restore freely; it doubles as the
// source position recorded with every character. The decoding in force may change mid-document
// (SetCodePage after a <meta> charset) unless a byte-order mark, ISO-2022-JP escapes or a string source
// locked it at creation.
#pragma once

#include "common/Str.h"
#include "markup/CodePages.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lantern {

class TBuffer {
public:
    // Every byte of a stream or file; runs encoding detection.
    static std::unique_ptr<TBuffer> CreateFromStream(std::span<const std::uint8_t> bytes, u16v name = {});
    static std::unique_ptr<TBuffer> CreateFromBytes(std::vector<std::uint8_t> bytes, u16v name = {});
    // An already decoded string: read back as UTF-16LE, locked, charset -1.
    static std::unique_ptr<TBuffer> CreateFromString(u16v text, u16v name = {});

    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    // One UTF-16 unit at the read position, advancing past its bytes; 0 at the end (and for a zero
    // byte of a single-byte page, which readers take as the end).
    char16_t TakeChar()
    {
        if (FPendingLow == 0 && FPos < FBytes.size()) {
            // The two common shapes inline: ASCII in UTF-8 and any single-byte page.
            std::uint8_t b = FBytes[FPos];
            if (FKind == TDecodeKind::Utf8 && b < 0x80) {
                ++FPos;
                return b;
            }
            if (FKind == TDecodeKind::SingleByte) {
                ++FPos;
                return FTable->Single[b];
            }
        }
        return TakeCharSlow();
    }
    // The next unit without moving (the position and the ISO-2022-JP state are kept).
    char16_t LookAheadChar();

    int Position() const { return int(FPos); }
    // Only offsets obtained from Position (or 0) are meaningful.
    void SetPosition(int pos);
    int Size() const { return int(FBytes.size()); }

    // The whole reading state (position and ISO-2022-JP shift state), for a look-ahead or a pre-pass that
    // must leave the buffer exactly as it found it.
    struct TReadState {
        std::size_t Pos;
        char16_t PendingLow;
        std::uint8_t JisState;
    };
    TReadState SaveState() const { return {FPos, FPendingLow, FJisState}; }
    void RestoreState(const TReadState& s)
    {
        FPos = std::min(s.Pos, FBytes.size());
        FPendingLow = s.PendingLow;
        FJisState = s.JisState;
    }
    bool AtEnd() const { return FPos >= FBytes.size() && FPendingLow == 0; }

    // The characters whose first byte lies in [from, to); the read position is left as it was.
    u16 DecodeRange(int from, int to);
    // Everything from the read position to the end, in one conversion where the code page allows; moves
    // to the end. An undeclared page that is really UTF-8 switches the buffer to UTF-8.
    u16 ReadToEnd();

    int CodePage() const { return FCodePage; }
    int InitialCodePage() const { return FInitialCodePage; }
    int CharSet() const { return FCharSet; }
    bool CodePageLocked() const { return FLocked; }
    std::uint8_t JisState() const { return FJisState; }
    const u16& Name() const { return FName; }
    std::span<const std::uint8_t> Bytes() const { return FBytes; }

    void SetCharSet(int charSet) { FCharSet = charSet; }
    // Ignored while the decoding is locked.
    void SetCodePage(int codePage);

private:
    enum class TDecodeKind : std::uint8_t { SingleByte, DoubleByte, Utf8, Utf16Le, Utf16Be, Iso2022Jp };

    TBuffer(std::vector<std::uint8_t> bytes, u16v name);
    void DetectEncoding();
    static bool LooksLikeIso2022Jp(std::span<const std::uint8_t> bytes);
    void SelectDecoder(int codePage);

    char16_t TakeCharSlow();
    char16_t TakeUtf8();
    char16_t TakeIso2022Jp();
    std::uint8_t NextByte() { return FPos < FBytes.size() ? FBytes[FPos++] : 0; }

    std::vector<std::uint8_t> FBytes;
    u16 FName;
    std::size_t FPos = 0;
    const TCodePageTable* FTable = nullptr; // the decoding tables of a single- or double-byte page
    char16_t FPendingLow = 0; // second half of a supplementary character; the position stays on its bytes
    std::uint8_t FPendingLength = 0;
    std::uint8_t FJisState = 0;
    bool FLocked = false;
    TDecodeKind FKind = TDecodeKind::SingleByte;
    std::int16_t FCharSet = DEFAULT_CHARSET;
    int FCodePage = CP_ACP;
    int FInitialCodePage = CP_ACP;
};

} // namespace lantern
