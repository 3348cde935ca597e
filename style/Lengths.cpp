#include "style/Lengths.h"

#include "common/WinMath.h"
#include "platform/Font.h"

#include <charconv>
#include <climits>
#include <string>

namespace lantern {

namespace {

constexpr double CmPerInch = 0.39370078740157480316;
constexpr double MmPerInch = 0.039370078740157480314;

constexpr std::array<int, 8> StepBase = {0, 8, 10, 12, 14, 18, 24, 36};
constexpr std::array<int, 8> PreStepBase = {0, 7, 8, 10, 12, 15, 20, 30};

struct SizeTables {
    std::array<double, 8> Steps{};
    std::array<double, 8> PreSteps{};
    double DocumentDefault = 12;
    SizeTables() { Fill(12); }
    void Fill(double d)
    {
        for (std::size_t i = 1; i < 8; ++i) {
            Steps[i] = d * StepBase[i] / 12;
            PreSteps[i] = d * PreStepBase[i] / 12;
        }
    }
};

SizeTables& Tables()
{
    static SizeTables t;
    return t;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Length of the decimal number at the start of s (sign, digits, fraction, exponent), 0 when there is none.
std::size_t ScanNumber(u16v s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

double ReadNumber(u16v s)
{
    std::string a;
    a.reserve(s.size());
    for (char16_t c : s)
        if (c != u'+') a.push_back(static_cast<char>(c));
    double v = 0;
    std::from_chars(a.data(), a.data() + a.size(), v);
    return v;
}

// Truncation toward zero into the int range (huge or non-finite values saturate instead of overflowing).
int TruncToInt(double v)
{
    if (v != v) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(Trunc(v));
}

} // namespace

int ScreenPixelsPerInch() { return platform::FontService::PixelsPerInch(); }

bool SplitNumberUnit(u16v text, double& number, u16& unit)
{
    const std::size_t end = ScanNumber(text);
    if (end == 0) return false;
    if (end == text.size()) {
        number = ReadNumber(text);
        unit.clear();
        return true;
    }
    // An "e" inside the number starts the unit: 1em is one em, not an exponent.
    std::size_t cut = end;
    for (std::size_t i = 0; i < end; ++i)
        if (text[i] == u'e' || text[i] == u'E') {
            cut = i;
            break;
        }
    number = ReadNumber(text.substr(0, cut));
    unit = Trim(text.substr(cut));
    return true;
}

int ConvertLength(u16v text, bool relative, int base, int def, int exSize, int emSize)
{
    double n = 0;
    u16 unit;
    if (!SplitNumberUnit(text, n, unit)) return def;
    const double ppi = ScreenPixelsPerInch();
    double v;
    if (unit.empty()) v = relative ? n * base : n;
    else if (unit == u"%") v = base * n * 0.01;
    else if (unit == u"in") v = n * ppi;
    else if (unit == u"cm") v = n * ppi * CmPerInch;
    else if (unit == u"mm") v = n * ppi * MmPerInch;
    else if (unit == u"pt") v = n * ppi / 72;
    else if (unit == u"pc") v = n * ppi / 6;
    else if (unit == u"px") v = n;
    else if (unit == u"em") v = n * emSize;
    else if (unit == u"ex") v = n * exSize;
    else return def;
    return TruncToInt(v);
}

double ConvertFontSize(u16v text, bool quirks, double parentSize)
{
    const double ppi = ScreenPixelsPerInch();
    double n = 0;
    u16 unit;
    if (SplitNumberUnit(text, n, unit)) {
        if (unit.empty() || unit == u"px") return n * 72 / ppi;
        if (unit == u"in") return n * 72;
        if (unit == u"cm") return n * 72 * CmPerInch;
        if (unit == u"mm") return n * 72 * MmPerInch;
        if (unit == u"pt") return n;
        if (unit == u"pc") return n * 12;
        if (unit == u"em") return parentSize * n;
        if (unit == u"ex") return parentSize * n * 0.5;
        if (unit == u"%") return parentSize * n * 0.01;
        return DocumentDefaultFontSize();
    }
    if (text == u"smaller") return StepFontSize(-1, parentSize);
    if (text == u"larger") return StepFontSize(+1, parentSize);
    // Quirks mode reads every keyword one step larger, so there "x-large" and "xx-large" coincide.
    static constexpr std::array<u16v, 6> keywords = {u"xx-small", u"x-small", u"small", u"medium", u"large", u"x-large"};
    const int q = quirks ? 1 : 0;
    for (std::size_t i = 0; i < keywords.size(); ++i)
        if (text == keywords[i]) return FontSizeSteps()[i + 1 + q];
    if (text == u"xx-large") return FontSizeSteps()[7];
    return DocumentDefaultFontSize();
}

double StepFontSize(int direction, double size)
{
    const auto& steps = FontSizeSteps();
    // The step nearest to the size; between two steps the nearer, the lower on a tie.
    int ref = 4;
    while (size < steps[ref] && ref > 1) --ref;
    while (size > steps[ref] && ref < 7) ++ref;
    // The walk ends on the step above a size that lies between two steps.
    if (size < steps[ref] && ref > 1 && size > steps[ref - 1] && size - steps[ref - 1] <= steps[ref] - size) --ref;
    int target = ref + direction;
    // Beyond either end the scale goes on with the ratio of its last two steps.
    if (target < 1) {
        ref += 1 - target;
        target = 1;
    } else if (target > 7) {
        ref -= target - 7;
        target = 7;
    }
    if (target == ref) return size;
    return size * steps[target] / steps[ref];
}

const std::array<double, 8>& FontSizeSteps() { return Tables().Steps; }
const std::array<double, 8>& PreFontSizeSteps() { return Tables().PreSteps; }
void SetFontSizeSteps(double defaultSize) { Tables().Fill(defaultSize); }
double DocumentDefaultFontSize() { return Tables().DocumentDefault; }
void SetDocumentDefaultFontSize(double size) { Tables().DocumentDefault = size; }

} // namespace lantern
