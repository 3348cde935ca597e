// Style sheets on real help files: reading a large sheet, and the cascade for every element of a large page.
// The help files are unpacked from the corpus beside the repository at run time.
#include "markup/Buffer.h"
#include "style/CssParser.h"
#include "style/CssSelectors.h"
#include "style/StyleList.h"

#include "tests/support/Corpus.h"

#include <QRegularExpression>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

using namespace lantern;

namespace {

// A help file from the corpus, unpacked once per run; not Ok() when the corpus or the extractor is missing.
const testsupport::TUnpackedChm& Unpacked(const std::string& name)
{
    static std::map<std::string, std::unique_ptr<testsupport::TUnpackedChm>> done;
    auto& chm = done[name];
    if (!chm)
        chm = std::make_unique<testsupport::TUnpackedChm>(name + ".chm");
    return *chm;
}

QByteArray ReadFile(const std::filesystem::path& path)
{
    const auto bytes = testsupport::ReadBytes(path);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// The largest sheet of a help file.
QByteArray LargestSheet(const testsupport::TUnpackedChm& chm) { return ReadFile(chm.Largest({".css"})); }

void BuildDefaults(TStyleList& list)
{
    list.BuildDefaultSheet(u"Times New Roman", u"Courier New", 10, 15, 1, true, 0xFF, 0x800080, 0xFF0000, 0, 12.0);
}

void ReadSheet(THtmlStyleList& list, const QByteArray& css)
{
    auto buffer = TBuffer::CreateFromStream(
        std::span(reinterpret_cast<const std::uint8_t*>(css.constData()), std::size_t(css.size())), u"bench.css");
    char16_t ch = u' ';
    ParseStyleSheet(list, ch, *buffer, list.Quirks, true, u"/help/");
}

// One start or end tag of a page, as the document builder would hand it to the property stack.
struct TElementEvent {
    bool Open;
    u16 Tag, Classes, Id, Pseudo;
};

u16 Lower(QStringView s) { return LowerAscii(u16v(reinterpret_cast<const char16_t*>(s.utf16()), s.size())); }

// A plain scan of the page's tags: enough structure to style every element, without the real builder.
std::vector<TElementEvent> ElementEvents(const QString& html)
{
    static const QStringList voidTags = {"br", "img", "hr", "input", "meta", "link", "area", "base", "col",
                                         "param", "wbr", "basefont", "frame", "!doctype"};
    std::vector<TElementEvent> events;
    qsizetype i = 0;
    while ((i = html.indexOf('<', i)) >= 0) {
        if (html.mid(i, 4) == "<!--") {
            i = html.indexOf("-->", i);
            if (i < 0)
                break;
            continue;
        }
        qsizetype end = html.indexOf('>', i);
        if (end < 0)
            break;
        QString tag = html.mid(i + 1, end - i - 1);
        i = end + 1;
        bool close = tag.startsWith('/');
        QString name = tag.section(QRegularExpression(R"([\s/>])"), close ? 1 : 0, close ? 1 : 0).toLower();
        if (name.isEmpty() || name.startsWith('?'))
            continue;
        if (close) {
            events.push_back({false, Lower(name), {}, {}, {}});
            continue;
        }
        if (voidTags.contains(name))
            continue;
        auto attr = [&tag](const char* attrName) {
            QRegularExpression re(QStringLiteral(R"(\b%1\s*=\s*("[^"]*"|'[^']*'|[^\s>]+))").arg(attrName),
                                  QRegularExpression::CaseInsensitiveOption);
            QString v = re.match(tag).captured(1);
            return v.startsWith('"') || v.startsWith('\'') ? v.mid(1, v.size() - 2) : v;
        };
        QStringList classes = attr("class").toLower().split(' ', Qt::SkipEmptyParts);
        u16 classList = classes.isEmpty() ? u16() : SortQualifiers(u"." + Lower(classes.join('.'))).substr(1);
        u16 pseudo = (name == "a" && !attr("href").isEmpty()) ? u16(u"link") : u16();
        events.push_back({true, Lower(name), classList, Lower(attr("id").toLower()), pseudo});
        if (name == "script" || name == "style") {
            qsizetype close = html.indexOf("</" + name, i, Qt::CaseInsensitive);
            i = close < 0 ? html.size() : close;
        }
    }
    return events;
}

// Replays a page's elements on a fresh property stack; returns how many were styled.
int StylePage(THtmlStyleList& list, const std::vector<TElementEvent>& events)
{
    THtmlPropStack stack;
    stack.Cascade = &list;
    stack.Quirks = list.Quirks;
    auto root = std::make_unique<TProperties>(&stack, list.Quirks);
    root->CopyAsDefault(*list.DefProp);
    stack.Add(std::move(root));
    int styled = 0;
    for (const TElementEvent& e : events) {
        if (e.Open) {
            stack.PushElement(e.Tag, e.Classes, nullptr, u"", e.Pseudo, e.Id);
            ++styled;
        } else {
            stack.PopElement(e.Tag);
        }
    }
    return styled;
}

// ---------------------------------------------------------------------------------------------------------------

// The largest sheet of a help file with many sheets (about 66 KB).
void BM_ParseLargeSheet(benchmark::State& state)
{
    const auto& chm = Unpacked("en-innovasys-topics-classic");
    if (!chm.Ok()) {
        state.SkipWithError("corpus not available");
        return;
    }
    QByteArray css = LargestSheet(chm);
    int rules = 0;
    for (auto _ : state) {
        THtmlStyleList list(false);
        BuildDefaults(list);
        ReadSheet(list, css);
        rules = list.Count();
        benchmark::DoNotOptimize(rules);
    }
    state.SetBytesProcessed(state.iterations() * css.size());
    state.counters["keys"] = rules;
}
BENCHMARK(BM_ParseLargeSheet)->Unit(benchmark::kMillisecond);

// Every element of a large reference page (about 70 KB), under its own sheets (arg 0) or under its sheets plus
// the help file's largest one, which names many more classes (arg 1); with the lookup filters on and off.
void BM_CascadeLargePage(benchmark::State& state)
{
    const auto& api = Unpacked("en-sandcastle-apps-test-api");
    const auto& topics = state.range(0) ? Unpacked("en-innovasys-topics-classic") : api;
    if (!api.Ok() || !topics.Ok()) {
        state.SkipWithError("corpus not available");
        return;
    }
    QString page = QString::fromUtf8(
        ReadFile(api.Folder() / "html/T_Microsoft_Windows_Apps_Test_Foundation_Controls_ListView.htm"));
    std::vector<TElementEvent> events = ElementEvents(page);

    THtmlStyleList list(false);
    BuildDefaults(list);
    for (const char* sheet : {"styles/branding.css", "styles/branding-en-US.css", "styles/branding-Help1.css"})
        ReadSheet(list, ReadFile(api.Folder() / sheet));
    if (state.range(0))
        ReadSheet(list, LargestSheet(topics));
    list.UseIndex = state.range(1) != 0;

    int elements = 0;
    for (auto _ : state)
        elements = StylePage(list, events);
    state.counters["elements"] = elements;
    state.counters["keys"] = list.Count();
    state.counters["per_element"] =
        benchmark::Counter(elements, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CascadeLargePage)->ArgsProduct({{0, 1}, {1, 0}})->ArgNames({"big_sheet", "index"})
    ->Unit(benchmark::kMillisecond);

} // namespace
