// THtmlTokenizer: the lexical half of the HTML parser. The document builder derives from it (or drives
// it): it asks for the next symbol, inspects the current one — its attribute list, heading level or text
// token — and asks again. One symbol of look-ahead: the current one.
//
// Ownership: the main buffer is borrowed and must outlive the tokenizer; buffers returned by the include
// handler are owned and freed as they run out, unless a saved reading state still holds one, which keeps
// it until that state is gone. The token and the attribute list belong to the current symbol and are
// cleared by the next NextSymbol.
#pragma once

#include "common/Str.h"
#include "markup/Attributes.h"
#include "markup/Buffer.h"
#include "markup/Symbols.h"
#include "markup/Token.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace lantern {

constexpr char16_t CharCR = 13;
constexpr char16_t CharLF = 10;
constexpr char16_t CharTab = 9;
constexpr char16_t CharFF = 12;

// Standards or quirks from the document's DOCTYPE; the buffer's position is left where it was.
// True means quirks.
bool DetectQuirks(TBuffer& buffer);

class THtmlTokenizer {
public:
    // Server-side include: command, its "name=value" parameters; returns the text to read in its place,
    // or nullptr.
    using TIncludeHandler = std::function<std::unique_ptr<TBuffer>(const u16& command, const std::vector<u16>& params)>;

    explicit THtmlTokenizer(TBuffer& buffer);
    virtual ~THtmlTokenizer();
    THtmlTokenizer(const THtmlTokenizer&) = delete;
    THtmlTokenizer& operator=(const THtmlTokenizer&) = delete;

    // --- What the one driving the tokenizer supplies ---
    // The code page of the property set in force; without it, the main buffer's code page.
    std::function<int()> CodePageInForce;
    // Registers an element ID at a source position so fragment links find it.
    std::function<void(const u16& id, int sourcePos)> OnRegisterId;
    // Parse progress in percent (already scaled by ProgressBase).
    std::function<void(int percent)> OnProgress;
    TIncludeHandler OnInclude;
    int ProgressBase = 75;
    // Includes nest at most this deep; a deeper directive is skipped like a comment, so a page that
    // includes itself cannot grow the include stack without end.
    static constexpr std::size_t MaxIncludeDepth = 32;
    // And at most this many run in all, so included pages that each include several others cannot
    // multiply into a near-endless text. IncludesRun counts them; a second pass may reset it.
    static constexpr int MaxIncludes = 1024;
    int IncludesRun = 0;

    // --- Reading ---
    // Back to a saved state of the main buffer with nothing pending: no include, no line end, no
    // current character. The builder's link-counting pre-pass ends with this before the main pass.
    void Restart(const TBuffer::TReadState& state);

    // Where reading stands: the current character, the line-end state, the source position, and every
    // buffer being read with its read state, the main one first and an include nested in it after it.
    // A saved state holds its included buffers, so restoring it resumes inside an include even when
    // reading on had run past that include's end.
    struct TReadingState {
        char16_t LCh = 0;
        std::uint8_t LineEnd = 0;
        int SourcePos = -1;
        TBuffer::TReadState Main{};
        std::vector<std::pair<std::shared_ptr<TBuffer>, TBuffer::TReadState>> Includes;
    };
    TReadingState SaveState() const;
    // Reading goes on exactly where `state` was saved; includes entered since are dropped (their
    // directive, read again, runs again).
    void RestoreState(const TReadingState& state);
    // Hands back the character another reader of Buffer() stopped at (the style sheet reader's "<"),
    // read at byte offset `position` of that buffer: it becomes the current character. The end of an
    // included buffer gives way to the buffer it interrupted, as in reading.
    void SetLCh(char16_t ch, int position);
    // From now on the source position is kept in `field` (the property stack's), so whoever reads that
    // field sees the position of the character being read.
    void ShareSourcePos(int& field);
    void NextSymbol();
    void AdvanceChar();
    void SkipBlanks();
    // The next unit straight from the current buffer: no line-end or tab translation, no includes.
    char16_t ReadRawChar();
    void ReadScriptSymbol();
    void ReadTextAreaSymbol();
    // A character reference at the current "&"; leaves the current char after it.
    u16 ReadEntity(int codePage);
    bool DetectQuirks() { return lantern::DetectQuirks(FBuffer); }
    // The title text between the positions the builder recorded.
    u16 GetTitle() { return FBuffer.DecodeRange(TitleStart, TitleEnd); }

    // --- State ---
    THtmlSymbol Sy() const { return FSy; }
    char16_t LCh() const { return FLCh; }
    int HeadingLevel() const { return FHeadingLevel; }
    const TokenObj& Token() const { return FToken; }
    TokenObj& Token() { return FToken; }
    const TAttributeList& Attributes() const { return FAttributes; }
    int TagPosition() const { return FTagPos; }
    // The main buffer's byte offset of the character being read; unchanged while an include is read.
    int SourcePos() const { return *FSourcePos; }
    int CharCount() const { return FCharCount; }
    // The buffer being read: the main one, or the innermost include.
    TBuffer& Buffer() { return *FCurrent; }
    std::size_t IncludeDepth() const { return FIncluded.size(); }

    bool RawMode = false; // comments are not skipped (plain text, script content)
    // A TAB reaches the reader as itself rather than as a space: preformatted text sets its tab stops.
    bool KeepTabs = false;
    bool ParseOnly = false; // pre-pass: no text, no IDs, no progress
    bool InComment = false;
    int TitleStart = -1;
    int TitleEnd = -1;

protected:
    int CodePageNow() const { return CodePageInForce ? CodePageInForce() : FBuffer.CodePage(); }

private:
    char16_t ReadSourceChar();
    char16_t PeekChar();
    void PopInclude();
    void SkipDeclaration();
    void SkipComment();
    void SkipServerBlock();
    void RunIncludeDirective();
    u16 ReadIdentifier();

    void ReadTag();
    bool ReadAttribute();
    void ReadAttributeValue(THtmlSymbol symbol, u16& value, int codePage);
    void ReadTextRun();

    TBuffer& FBuffer; // the main document
    TBuffer* FCurrent; // the buffer being read: the main one or the innermost include
    // Included buffers, innermost last; each interrupted the one before it (the first, the main one).
    std::vector<std::shared_ptr<TBuffer>> FIncluded;

    THtmlSymbol FSy = symEndOfFile;
    char16_t FLCh = 0;
    std::uint8_t FLineEnd = 0; // 0 none, 1 after CR, 2 after LF
    int FHeadingLevel = 0;
    int FTagPos = 0;
    int FOwnSourcePos = -1;
    int* FSourcePos = &FOwnSourcePos; // where the source position is kept (see ShareSourcePos)
    int FCharCount = 0;
    TokenObj FToken;
    TAttributeList FAttributes;
    u16 FName; // scratch for tag and attribute names
};

// The character a reference's code point stands for. Numeric references from 127 to 159 are bytes of
// the code page in force; code points above U+FFFF become a surrogate pair.
u16 CharForCodePoint(std::uint32_t v, bool numeric, int codePage);

} // namespace lantern
