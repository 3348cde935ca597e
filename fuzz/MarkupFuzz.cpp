// Fuzz target for the character buffer and the HTML tokenizer. The first byte picks the route: a code
// page switch, an include handler that feeds part of the input back, and the content readers.
#include "markup/Buffer.h"
#include "markup/Errors.h"
#include "markup/Tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace lantern;

namespace {

constexpr int CodePages[] = {CP_ACP, 932, 936, 949, 950, 1251, 1252, 1253, 1361, 874, 28592, CP_UTF8,
    PseudoCpUtf16Le, PseudoCpUtf16Be};

void ReadContent(THtmlTokenizer& t, bool script)
{
    t.RawMode = script;
    t.AdvanceChar();
    const THtmlSymbol end = script ? symEndScript : symEndTextarea;
    do {
        if (script)
            t.ReadScriptSymbol();
        else
            t.ReadTextAreaSymbol();
    } while (t.Sy() != end && t.Sy() != symEndOfFile);
    t.RawMode = false;
}

// OBJECT parameters as preformatted text reads them: symbol by symbol, then back to the state before the
// first symbol that is no PARAM, and on character by character.
void ReadObjectParameters(THtmlTokenizer& t)
{
    THtmlTokenizer::TReadingState before;
    do {
        before = t.SaveState();
        t.SkipBlanks();
        t.NextSymbol();
    } while (t.Sy() == symParam);
    t.RestoreState(before);
    while (t.LCh() != 0 && t.LCh() != u'<')
        t.AdvanceChar();
}

void Tokenize(TBuffer& b, std::uint8_t mode, std::span<const std::uint8_t> input)
{
    THtmlTokenizer t(b);
    int sink = 0;
    t.OnProgress = [&](int p) { sink += p; };
    t.OnRegisterId = [&](const u16& id, int pos) { sink += int(id.size()) + pos; };
    t.CodePageInForce = [&] { return b.CodePage(); };
    if (mode & 0x40)
        t.OnInclude = [input](const u16&, const std::vector<u16>& params) -> std::unique_ptr<TBuffer> {
            if (params.empty())
                return nullptr;
            return TBuffer::CreateFromStream(input.subspan(input.size() / 2));
        };
    t.ParseOnly = (mode & 0x20) != 0;
    try {
        t.AdvanceChar();
        for (t.NextSymbol(); t.Sy() != symEndOfFile;) {
            if (t.Sy() == symScript) {
                ReadContent(t, true);
                t.AdvanceChar();
            } else if (t.Sy() == symTextarea) {
                ReadContent(t, false);
                t.AdvanceChar();
            } else if (t.Sy() == symObject) {
                ReadObjectParameters(t);
            }
            sink += int(t.Attributes().GetClass().size() + t.Attributes().GetId().size());
            t.NextSymbol();
        }
    } catch (const EParseError&) {
        // Text that ends inside a comment: the document ends there.
    }
    t.TitleStart = 0;
    t.TitleEnd = b.Size() / 2;
    sink += int(t.GetTitle().size());
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    std::span<const std::uint8_t> input(data + 1, size - 1);
    auto b = TBuffer::CreateFromStream(input, u"fuzz");
    if (mode & 0x80)
        b->SetCodePage(CodePages[mode % std::size(CodePages)]);
    const bool quirks = DetectQuirks(*b);
    Tokenize(*b, mode ^ (quirks ? 1 : 0), input);
    b->SetPosition(0);
    b->ReadToEnd();
    b->DecodeRange(0, b->Size());
    u16 name;
    for (std::uint8_t c : input.first(std::min<std::size_t>(input.size(), 24)))
        name.push_back(c);
    FindCharSetInfo(name);
    return 0;
}
