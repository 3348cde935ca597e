// The width pass of a table: the minimum and maximum widths of its columns from their cells (spanning cells in
// increasing span order) and from COL specifications, and the share of the table's width every column gets.
//
// Amounts are always shared cumulatively from the right-most column to the left: the running total is rounded
// and each column receives the difference to the previous total, so the parts add up exactly.
#include "layout/Table.h"

#include "layout/Document.h"
#include "layout/IndentManager.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lantern {

namespace {

using Columns = std::vector<int>;

long long Sum(const std::vector<int>& values, const Columns& columns)
{
    long long sum = 0;
    for (int c : columns)
        sum += values[static_cast<std::size_t>(c)];
    return sum;
}

long long Sum(const std::vector<int>& values)
{
    return std::accumulate(values.begin(), values.end(), 0LL);
}

int At(const std::vector<int>& values, int column)
{
    return values[static_cast<std::size_t>(column)];
}

int& At(std::vector<int>& values, int column)
{
    return values[static_cast<std::size_t>(column)];
}

int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, -2000000000LL, 2000000000LL));
}

// Sets the columns to shares of `total` in proportion to `weights` (one per column of `columns`; all equal when
// they add up to nothing), or adds those shares when `add` is set.
void Share(std::vector<int>& widths, const Columns& columns, const std::vector<long long>& weights, long long total,
           bool add)
{
    if (columns.empty())
        return;
    long long weightSum = std::accumulate(weights.begin(), weights.end(), 0LL);
    const bool even = weightSum <= 0;
    if (even)
        weightSum = static_cast<long long>(columns.size());
    long long running = 0, given = 0;
    for (std::size_t i = columns.size(); i-- > 0;) {
        running += even ? 1 : weights[i];
        const long long upTo = std::llround(static_cast<long double>(total) * running / weightSum);
        int& width = At(widths, columns[i]);
        width = ClampToInt((add ? width : 0) + upTo - given);
        given = upTo;
    }
}

void AddInProportion(std::vector<int>& widths, const Columns& columns, const std::vector<long long>& weights,
                     long long amount)
{
    if (amount != 0)
        Share(widths, columns, weights, amount, true);
}

void AddEvenly(std::vector<int>& widths, const Columns& columns, long long amount)
{
    AddInProportion(widths, columns, {}, amount);
}

std::vector<long long> ValuesOf(const std::vector<int>& values, const Columns& columns)
{
    std::vector<long long> out;
    out.reserve(columns.size());
    for (int c : columns)
        out.push_back(At(values, c));
    return out;
}

// How far each column's maximum lies above its minimum; the current widths when no column has any room.
std::vector<long long> RoomOf(const std::vector<int>& minima, const std::vector<int>& maxima,
                              const std::vector<int>& current, const Columns& columns)
{
    std::vector<long long> room;
    room.reserve(columns.size());
    long long total = 0;
    for (int c : columns) {
        room.push_back(std::max(0, At(maxima, c) - At(minima, c)));
        total += room.back();
    }
    return total > 0 ? room : ValuesOf(current, columns);
}

// The weighted columns follow their weights so that, with the columns of no weight keeping theirs, they add up to
// `target`; a column whose share would be narrower than it already is keeps its width, and the others share
// what is left.
void ShareByWeight(std::vector<int>& widths, const Columns& columns, const std::vector<int>& weights,
                   long long target)
{
    Columns weighted;
    for (int c : columns) {
        if (At(weights, c) < 1)
            target -= At(widths, c);
        else
            weighted.push_back(c);
    }
    std::vector<bool> kept(weighted.size(), false);
    for (;;) {
        long long weightSum = 0, rest = target;
        for (std::size_t i = 0; i < weighted.size(); ++i) {
            if (kept[i])
                rest -= At(widths, weighted[i]);
            else
                weightSum += At(weights, weighted[i]);
        }
        if (weightSum == 0)
            return;
        bool changed = false;
        for (std::size_t i = 0; i < weighted.size(); ++i)
            if (!kept[i] && static_cast<long double>(At(widths, weighted[i])) * weightSum >
                                static_cast<long double>(rest) * At(weights, weighted[i])) {
                kept[i] = true;
                changed = true;
            }
        if (changed)
            continue;
        Columns sharing;
        for (std::size_t i = 0; i < weighted.size(); ++i)
            if (!kept[i])
                sharing.push_back(weighted[i]);
        Share(widths, sharing, ValuesOf(weights, sharing), rest, false);
        return;
    }
}

// The weighted columns become exactly proportional to their weights, none narrower than it is and every unit of
// weight at least a pixel wide.
void MakeProportional(std::vector<int>& widths, const Columns& columns, const std::vector<int>& weights)
{
    long long weightSum = 0, per100 = 100;
    for (int c : columns) {
        weightSum += At(weights, c);
        per100 = std::max(per100, (static_cast<long long>(At(widths, c)) * 100 + At(weights, c) - 1) / At(weights, c));
    }
    Share(widths, columns, ValuesOf(weights, columns), weightSum * per100 / 100, false);
}

// Absolute beats every kind, percent beats none and relative, relative beats none.
void UpgradeColumnType(TWidthType& column, TWidthType cell)
{
    if (cell == TWidthType::wtAbsolute ||
        (cell == TWidthType::wtPercent && (column == TWidthType::wtNone || column == TWidthType::wtRelative)) ||
        (cell == TWidthType::wtRelative && column == TWidthType::wtNone))
        column = cell;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Measuring

void THtmlTable::MeasureWidths(platform::Canvas& canvas, int& minWidth, int& maxWidth)
{
    MeasureColumns(canvas, 0);
    minWidth = std::max(0, ClampToInt(Sum(ColMinWidths) + CellSpacing));
    maxWidth = std::max(minWidth, ClampToInt(Sum(ColMaxWidths) + CellSpacing));
}

void THtmlTable::MeasureColumns(platform::Canvas& canvas, int width)
{
    if (!GridReady)
        ExpandSpans();
    // Nothing a measurement reads changes during a layout pass, and only paddings given in percent depend on the
    // width: the answer of the first one stands.
    if (measuredPass_ == Document->LayoutPass && (measuredWidth_ == width || !percentPaddings_))
        return;
    measuredPass_ = Document->LayoutPass;
    measuredWidth_ = width;
    // 1.
    StartColumnsFromSpecs();
    // 2. Cells by increasing column span, each span's cells row by row and left to right; single columns first.
    struct Spanning {
        const TCellObj* Cell;
        int Column, Min, Max;
    };
    std::vector<Spanning> spanning;
    for (const auto& row : Rows)
        for (int c = 0; c < row->Count(); ++c) {
            TCellObj& cell = *row->Cells[static_cast<std::size_t>(c)];
            if (cell.IsFiller())
                continue;
            int minWidth = 0, maxWidth = 0;
            MeasureCell(canvas, cell, width, minWidth, maxWidth);
            if (cell.ColSpan == 1)
                FoldSingleColumn(c, cell, minWidth, maxWidth);
            else
                spanning.push_back(Spanning{&cell, c, minWidth, maxWidth});
        }
    std::stable_sort(spanning.begin(), spanning.end(),
                     [](const Spanning& a, const Spanning& b) { return a.Cell->ColSpan < b.Cell->ColSpan; });
    for (const Spanning& s : spanning)
        FoldSpanningCell(s.Column, *s.Cell, s.Min, s.Max);
    // 3.
    WeighColumnsBySpecs();
    TypeCounts = {};
    for (int c = 0; c < ColumnCount; ++c) {
        ++TypeCounts[static_cast<std::size_t>(ColTypes[static_cast<std::size_t>(c)])];
        At(ColMaxWidths, c) = std::max(At(ColMaxWidths, c), At(ColMinWidths, c));
    }
}

void THtmlTable::StartColumnsFromSpecs()
{
    std::fill(ColPercents.begin(), ColPercents.end(), 0);
    std::fill(ColWeights.begin(), ColWeights.end(), 0);
    std::fill(ColMinWidths.begin(), ColMinWidths.end(), 0);
    std::fill(ColMaxWidths.begin(), ColMaxWidths.end(), 0);
    std::fill(ColTypes.begin(), ColTypes.end(), TWidthType::wtNone);
    const int specified = std::min(ColumnCount, static_cast<int>(ColumnSpecs.size()));
    for (int c = 0; c < specified; ++c) {
        const TWidthSpec& spec = ColumnSpecs[static_cast<std::size_t>(c)].Width;
        ColTypes[static_cast<std::size_t>(c)] = spec.Kind;
        switch (spec.Kind) {
        case TWidthType::wtAbsolute: At(ColMinWidths, c) = At(ColMaxWidths, c) = spec.Value; break;
        case TWidthType::wtPercent: At(ColPercents, c) = spec.Value; break;
        case TWidthType::wtRelative: At(ColWeights, c) = spec.Value; break;
        case TWidthType::wtNone: break;
        }
    }
}

// A cell's widths with the spacing to its left and its own paddings and borders. A given width is the cell's
// width unless its content cannot be that narrow.
void THtmlTable::MeasureCell(platform::Canvas& canvas, TCellObj& cell, int width, int& minWidth, int& maxWidth)
{
    cell.ResolvePaddings(CellPadding, width);
    cell.Content->MeasureWidths(canvas, minWidth, maxWidth);
    maxWidth = std::max(maxWidth, minWidth);
    if (cell.WidthSpec.Kind == TWidthType::wtAbsolute) {
        minWidth = std::max(minWidth, cell.WidthSpec.Value);
        maxWidth = minWidth;
    }
    minWidth += CellSpacing + cell.HorzSpacing;
    maxWidth += CellSpacing + cell.HorzSpacing;
}

void THtmlTable::FoldSingleColumn(int column, const TCellObj& cell, int minWidth, int maxWidth)
{
    At(ColMinWidths, column) = std::max(At(ColMinWidths, column), minWidth);
    At(ColMaxWidths, column) = std::max(At(ColMaxWidths, column), maxWidth);
    if (cell.WidthSpec.Kind == TWidthType::wtPercent)
        At(ColPercents, column) = std::max(At(ColPercents, column), cell.WidthSpec.Value);
    else if (cell.WidthSpec.Kind == TWidthType::wtRelative)
        At(ColWeights, column) = std::max(At(ColWeights, column), cell.WidthSpec.Value);
    UpgradeColumnType(ColTypes[static_cast<std::size_t>(column)], cell.WidthSpec.Kind);
}

// A cell over several columns that need more room than they have: the missing width goes to the columns free to
// take it, the untyped first, then the relative, the absolute and the percent ones.
void THtmlTable::FoldSpanningCell(int column, const TCellObj& cell, int minWidth, int maxWidth)
{
    Columns span(static_cast<std::size_t>(cell.ColSpan));
    std::iota(span.begin(), span.end(), column);
    if (Sum(ColMinWidths, span) >= minWidth && Sum(ColMaxWidths, span) >= maxWidth)
        return;
    auto ofKind = [&](TWidthType kind) {
        Columns out;
        for (int c : span)
            if (ColTypes[static_cast<std::size_t>(c)] == kind)
                out.push_back(c);
        return out;
    };
    // a. A percent cell first lends the percentage its columns lack to those without a kind.
    if (cell.WidthSpec.Kind == TWidthType::wtPercent) {
        const long long given = Sum(ColPercents, ofKind(TWidthType::wtPercent));
        if (cell.WidthSpec.Value < given)
            return;
        const Columns untyped = ofKind(TWidthType::wtNone);
        AddEvenly(ColPercents, untyped, cell.WidthSpec.Value - given);
        for (int c : untyped)
            ColTypes[static_cast<std::size_t>(c)] = TWidthType::wtPercent;
    }
    const long long minDeficit = std::max(0LL, minWidth - Sum(ColMinWidths, span));
    const long long maxDeficit = std::max(0LL, maxWidth - Sum(ColMaxWidths, span));
    auto giveEvenly = [&](const Columns& to) {
        AddEvenly(ColMinWidths, to, minDeficit);
        AddEvenly(ColMaxWidths, to, maxDeficit);
    };
    auto giveByRoom = [&](const Columns& to) {
        const std::vector<long long> room = RoomOf(ColMinWidths, ColMaxWidths, ColMinWidths, to);
        AddInProportion(ColMinWidths, to, room, minDeficit);
        AddInProportion(ColMaxWidths, to, room, maxDeficit);
    };
    const Columns untyped = ofKind(TWidthType::wtNone);
    const Columns relative = ofKind(TWidthType::wtRelative);
    const Columns percent = ofKind(TWidthType::wtPercent);
    if (!untyped.empty()) {
        // b.
        giveEvenly(untyped);
    } else if (!relative.empty()) {
        // c.
        if (Sum(ColWeights, relative) < 1) {
            if (Sum(ColMinWidths, relative) < Sum(ColMaxWidths, relative))
                giveByRoom(relative);
            else
                giveEvenly(relative);
        } else {
            Columns others;
            for (int c : span)
                if (ColTypes[static_cast<std::size_t>(c)] != TWidthType::wtRelative)
                    others.push_back(c);
            ShareByWeight(ColMinWidths, relative, ColWeights, minWidth - Sum(ColMinWidths, others));
            ShareByWeight(ColMaxWidths, relative, ColWeights, maxWidth - Sum(ColMaxWidths, others));
        }
    } else if (percent.empty()) {
        // d.
        giveEvenly(span);
    } else if (Sum(ColMinWidths, percent) < Sum(ColMaxWidths, percent)) {
        // e.
        giveByRoom(percent);
    } else if (Sum(ColPercents, percent) < 1) {
        giveEvenly(percent);
    } else {
        const std::vector<long long> percents = ValuesOf(ColPercents, percent);
        AddInProportion(ColMinWidths, percent, percents, minDeficit);
        AddInProportion(ColMaxWidths, percent, percents, maxDeficit);
    }
    for (int c : span)
        At(ColMaxWidths, c) = std::max(At(ColMaxWidths, c), At(ColMinWidths, c));
}

// Relative widths from COL specifications hold in the measurement too, so the columns keep their proportions
// whatever room the table gets.
void THtmlTable::WeighColumnsBySpecs()
{
    const bool specsWeigh = std::any_of(ColumnSpecs.begin(), ColumnSpecs.end(), [](const TColSpec& s) {
        return s.Width.Kind == TWidthType::wtRelative && s.Width.Value > 0;
    });
    if (!specsWeigh)
        return;
    Columns relative;
    for (int c = 0; c < ColumnCount; ++c)
        if (ColTypes[static_cast<std::size_t>(c)] == TWidthType::wtRelative && At(ColWeights, c) > 0)
            relative.push_back(c);
    if (relative.empty())
        return;
    MakeProportional(ColMinWidths, relative, ColWeights);
    MakeProportional(ColMaxWidths, relative, ColWeights);
}

// ---------------------------------------------------------------------------------------------------------------
// Sharing the table's width

int THtmlTable::ComputeColumnWidths(platform::Canvas& canvas, TIndentManager& indents, int y)
{
    const bool fixed = SpecifiedWidth > 0;
    int width = fixed ? SpecifiedWidth : indents.RightEdgeAt(y) - indents.LeftEdgeAt(y);
    // 1.
    width -= CellSpacing;
    MeasureColumns(canvas, width);
    const long long minSum = Sum(ColMinWidths), maxSum = Sum(ColMaxWidths);
    ColWidths = ColMinWidths;
    // 2. Too narrow: the table overflows at its minimum.
    if (minSum < width) {
        // 3.
        GivePercentColumnsTheirShare(width, static_cast<int>(minSum));
        // 4.
        const long long sum = Sum(ColWidths);
        const bool percents = std::any_of(ColPercents.begin(), ColPercents.end(), [](int p) { return p > 0; });
        if (sum > width) {
            ShrinkPercentColumns(static_cast<int>(sum - width));
        } else if (!fixed && width >= maxSum && !percents) {
            // As wide as the content needs; wider only when the block around it is (a wide caption).
            ColWidths = ColMaxWidths;
            GiveFreeSpace(static_cast<int>(width - maxSum));
        } else if (sum < width) {
            GiveFreeSpace(static_cast<int>(width - sum));
        }
    }
    // 5.
    GridWidth = ClampToInt(Sum(ColWidths) + CellSpacing);
    return GridWidth;
}

// Each percent column grows toward its percentage of the width, in proportion to how far it is from it.
void THtmlTable::GivePercentColumnsTheirShare(int width, int minSum)
{
    if (width <= 0)
        return;
    const long long whole = std::max(Sum(ColPercents), 1000LL);
    Columns wanting;
    std::vector<long long> missing;
    for (int c = 0; c < ColumnCount; ++c) {
        const int percent = At(ColPercents, c);
        if (ColTypes[static_cast<std::size_t>(c)] != TWidthType::wtPercent || percent <= 0)
            continue;
        const long long e = std::llround((static_cast<double>(percent) / whole -
                                          static_cast<double>(At(ColMinWidths, c)) / width) * 1000);
        if (e > 0) {
            wanting.push_back(c);
            missing.push_back(e);
        }
    }
    std::vector<int> shares(static_cast<std::size_t>(ColumnCount), 0);
    AddInProportion(shares, wanting, missing, width - minSum);
    for (int c : wanting) {
        const int limit = ClampToInt(static_cast<long long>(width) * At(ColPercents, c) / whole);
        At(ColWidths, c) = std::max(At(ColMinWidths, c), std::min(At(ColMinWidths, c) + At(shares, c), limit));
    }
}

// Over-committed percentages give back what the width cannot hold, never below a column's minimum.
void THtmlTable::ShrinkPercentColumns(int excess)
{
    Columns percent;
    for (int c = 0; c < ColumnCount; ++c)
        if (ColTypes[static_cast<std::size_t>(c)] == TWidthType::wtPercent)
            percent.push_back(c);
    AddInProportion(ColWidths, percent, RoomOf(ColMinWidths, ColMaxWidths, ColWidths, percent), -excess);
    for (int c : percent)
        At(ColWidths, c) = std::max(At(ColWidths, c), At(ColMinWidths, c));
}

// Width left over goes to the columns that asked for none; failing those, to the relative columns by weight, or
// to the absolute or percent columns in proportion to their room.
void THtmlTable::GiveFreeSpace(int space)
{
    if (space <= 0)
        return;
    Columns byKind[4];
    for (int c = 0; c < ColumnCount; ++c)
        byKind[static_cast<std::size_t>(ColTypes[static_cast<std::size_t>(c)])].push_back(c);
    const Columns& untyped = byKind[static_cast<std::size_t>(TWidthType::wtNone)];
    const Columns& absolute = byKind[static_cast<std::size_t>(TWidthType::wtAbsolute)];
    const Columns& percent = byKind[static_cast<std::size_t>(TWidthType::wtPercent)];
    const Columns& relative = byKind[static_cast<std::size_t>(TWidthType::wtRelative)];
    auto byRoom = [&](const Columns& to) {
        AddInProportion(ColWidths, to, RoomOf(ColMinWidths, ColMaxWidths, ColWidths, to), space);
    };
    if (!untyped.empty())
        byRoom(untyped);
    else if (relative.empty())
        byRoom(percent.empty() ? absolute : percent);
    else
        ShareByWeight(ColWidths, relative, ColWeights, space + Sum(ColWidths, relative));
}

} // namespace lantern
