#include "compute/trenddecimation.h"

#include "compute/trendseries.h"

#include <algorithm>
#include <cmath>

namespace kavro {

namespace {

constexpr int PointsPerColumn = 2;

// Adds the lowest and the highest sample of a column, the earlier first.
void AddColumn(const TrendSeriesStore &store, int series, qsizetype low, qsizetype high,
    QList<QPointF> &points)
{
    const qsizetype first = std::min(low, high);
    const qsizetype second = std::max(low, high);
    points.append(QPointF(double(store.Time(first)), store.Value(series, first)));
    if (second != first)
        points.append(QPointF(double(store.Time(second)), store.Value(series, second)));
}

} // namespace

QList<QPointF> VisibleTrendPoints(
    const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns)
{
    if (store.IsEmpty() || series < 0 || series >= store.SeriesCount() || toMs < fromMs)
        return {};
    const TrendSeriesStore::IndexRange inside = store.Within(fromMs, toMs);
    const qsizetype first = std::max<qsizetype>(inside.first - 1, 0);
    const qsizetype last = std::min(inside.last + 1, store.Size());

    QList<QPointF> points;
    const double columnWidth = double(toMs - fromMs) / std::max(columns, 1);
    if (last - first <= qsizetype(PointsPerColumn) * std::max(columns, 1) || columnWidth <= 0) {
        points.reserve(last - first);
        for (qsizetype index = first; index < last; ++index)
            points.append(QPointF(double(store.Time(index)), store.Value(series, index)));
        return points;
    }

    points.reserve(PointsPerColumn * (columns + 2));
    const auto columnOf
        = [&](qsizetype index) { return std::floor(double(store.Time(index)) / columnWidth); };
    double column = columnOf(first);
    qsizetype low = first;
    qsizetype high = first;
    for (qsizetype index = first + 1; index < last; ++index) {
        if (const double next = columnOf(index); next != column) {
            AddColumn(store, series, low, high, points);
            column = next;
            low = high = index;
            continue;
        }
        const double value = store.Value(series, index);
        if (value < store.Value(series, low))
            low = index;
        if (value > store.Value(series, high))
            high = index;
    }
    AddColumn(store, series, low, high, points);
    return points;
}

} // namespace kavro
