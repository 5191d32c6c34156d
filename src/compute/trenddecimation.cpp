#include "compute/trenddecimation.h"

#include "compute/trendseries.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace kavro {

namespace {

constexpr int PointsPerColumn = 2;

// The samples a span needs: those inside it and one on each side; whether
// there are so many that each column keeps only its lowest and highest.
struct SpanSamples
{
    qsizetype first;
    qsizetype last;
    double columnWidth;
    bool decimated;
};

std::optional<SpanSamples> SamplesFor(
    const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns)
{
    if (store.IsEmpty() || series < 0 || series >= store.SeriesCount() || toMs < fromMs)
        return std::nullopt;
    const TrendSeriesStore::IndexRange inside = store.Within(fromMs, toMs);
    SpanSamples span;
    span.first = std::max<qsizetype>(inside.first - 1, 0);
    span.last = std::min(inside.last + 1, store.Size());
    span.columnWidth = double(toMs - fromMs) / std::max(columns, 1);
    span.decimated = span.last - span.first > qsizetype(PointsPerColumn) * std::max(columns, 1)
        && span.columnWidth > 0;
    return span;
}

QList<QPointF> AllPoints(const TrendSeriesStore &store, int series, const SpanSamples &span)
{
    QList<QPointF> points;
    points.reserve(span.last - span.first);
    for (qsizetype index = span.first; index < span.last; ++index)
        points.append(QPointF(double(store.Time(index)), store.Value(series, index)));
    return points;
}

double ColumnOf(const TrendSeriesStore &store, qsizetype index, double columnWidth)
{
    return std::floor(double(store.Time(index)) / columnWidth);
}

// The lowest and the highest sample of a column seen so far; samples come
// in order, and the first of equal values stays.
struct Extremes
{
    qsizetype low;
    qsizetype high;

    void Take(const TrendSeriesStore &store, int series, qsizetype index)
    {
        const double value = store.Value(series, index);
        if (value < store.Value(series, low))
            low = index;
        if (value > store.Value(series, high))
            high = index;
    }
};

// The column that begins at `index`, up to `last`; index moves past it.
Extremes ScanColumn(
    const TrendSeriesStore &store, int series, double columnWidth, qsizetype &index, qsizetype last)
{
    Extremes extremes { index, index };
    const double column = ColumnOf(store, index, columnWidth);
    for (++index; index < last && ColumnOf(store, index, columnWidth) == column; ++index)
        extremes.Take(store, series, index);
    return extremes;
}

// Adds the lowest and the highest sample of a column, the earlier first.
void AddColumn(
    const TrendSeriesStore &store, int series, const Extremes &extremes, QList<QPointF> &points)
{
    const qsizetype first = std::min(extremes.low, extremes.high);
    const qsizetype second = std::max(extremes.low, extremes.high);
    points.append(QPointF(double(store.Time(first)), store.Value(series, first)));
    if (second != first)
        points.append(QPointF(double(store.Time(second)), store.Value(series, second)));
}

} // namespace

QList<QPointF> VisibleTrendPoints(
    const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns)
{
    const std::optional<SpanSamples> span = SamplesFor(store, series, fromMs, toMs, columns);
    if (!span)
        return {};
    if (!span->decimated)
        return AllPoints(store, series, *span);

    QList<QPointF> points;
    points.reserve(PointsPerColumn * (columns + 2));
    for (qsizetype index = span->first; index < span->last;)
        AddColumn(
            store, series, ScanColumn(store, series, span->columnWidth, index, span->last), points);
    return points;
}

QList<QPointF> TrendDecimationCache::VisiblePoints(
    const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns)
{
    const std::optional<SpanSamples> span = SamplesFor(store, series, fromMs, toMs, columns);
    if (!span)
        return {};
    if (!span->decimated)
        return AllPoints(store, series, *span);

    if (series != series_ || span->columnWidth != columnWidth_ || span->first < scanStart_
        || scanned_ > store.Size())
        Restart(series, span->columnWidth, span->first);
    ScanNewSamples(store);
    // Columns before the span's first are not needed again.
    const double firstColumn = ColumnOf(store, span->first, columnWidth_);
    while (!columns_.empty() && columns_.front().column < firstColumn)
        columns_.pop_front();
    if (!columns_.empty())
        scanStart_ = columns_.front().begin;

    // The first column is looked at from the span's first sample on, and
    // the one that the span's last sample cuts up to that; those between
    // are whole and known.
    QList<QPointF> points;
    points.reserve(PointsPerColumn * (columns + 2));
    qsizetype index = span->first;
    AddColumn(store, series, ScanColumn(store, series, columnWidth_, index, span->last), points);
    auto known = std::lower_bound(columns_.cbegin(), columns_.cend(), index,
        [](const Column &column, qsizetype sample) { return column.begin < sample; });
    while (index < span->last) {
        const bool whole = known != columns_.cend() && known->begin == index
            && (std::next(known) != columns_.cend() ? std::next(known)->begin : scanned_)
                <= span->last;
        if (!whole) {
            AddColumn(
                store, series, ScanColumn(store, series, columnWidth_, index, span->last), points);
            continue;
        }
        AddColumn(store, series, { known->low, known->high }, points);
        ++known;
        index = known != columns_.cend() ? known->begin : scanned_;
    }
    return points;
}

void TrendDecimationCache::Reset()
{
    columns_.clear();
    series_ = -1;
}

void TrendDecimationCache::Restart(int series, double columnWidth, qsizetype from)
{
    columns_.clear();
    series_ = series;
    columnWidth_ = columnWidth;
    scanStart_ = from;
    scanned_ = from;
}

void TrendDecimationCache::ScanNewSamples(const TrendSeriesStore &store)
{
    for (qsizetype index = scanned_; index < store.Size(); ++index) {
        const double column = ColumnOf(store, index, columnWidth_);
        if (!columns_.empty() && columns_.back().column == column) {
            Extremes extremes { columns_.back().low, columns_.back().high };
            extremes.Take(store, series_, index);
            columns_.back().low = extremes.low;
            columns_.back().high = extremes.high;
        } else {
            columns_.push_back({ column, index, index, index });
        }
    }
    scanned_ = store.Size();
}

} // namespace kavro
