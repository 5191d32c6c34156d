#pragma once

#include <QList>
#include <QPointF>
#include <deque>

namespace kavro {

class TrendSeriesStore;

// The points of one series of the store that a chart needs to draw the time
// span [fromMs, toMs] across `columns` pixel columns, as (time in ms since
// the epoch, value):
// - every sample inside the span, and the last one before and the first one
//   after it, so that the line runs on to the edges of the plot;
// - when that is more than two points per column, each column keeps only its
//   lowest and its highest sample, in time order. A column then draws the
//   same vertical stroke as with all its samples, and the cost of drawing no
//   longer grows with the number of samples. The columns are fixed in time
//   (multiples of the column width since the epoch), so a line does not
//   flicker while the span slides along with the newest sample.
QList<QPointF> VisibleTrendPoints(
    const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns);

// The points of VisibleTrendPoints for a chart that draws the same series
// again and again while samples are appended. VisibleTrendPoints looks at
// every sample of the span, so a redraw would cost more the longer a wide
// span fills (a shift under an 8-hour span: 864 000 samples per line at
// each redraw). The columns are fixed in time, so the lowest and highest
// sample of a column stay what they are once the column is past: they are
// kept here, and a redraw looks only at the samples added since the last
// one and at the two columns at the ends of the span.
//
// One cache serves one series of one store, to which samples are only
// appended; Reset() after the store was emptied.
class TrendDecimationCache
{
public:
    QList<QPointF> VisiblePoints(
        const TrendSeriesStore &store, int series, qint64 fromMs, qint64 toMs, int columns);
    void Reset();

    // Columns kept: at most those of the span and the ones it has filled
    // since the last redraw.
    qsizetype KeptColumns() const { return qsizetype(columns_.size()); }

private:
    struct Column
    {
        double column; // time / column width, rounded down
        qsizetype begin; // its first sample (or the first scanned)
        qsizetype low;
        qsizetype high;
    };

    void Restart(int series, double columnWidth, qsizetype from);
    void ScanNewSamples(const TrendSeriesStore &store);

    std::deque<Column> columns_;
    int series_ = -1;
    double columnWidth_ = 0;
    qsizetype scanStart_ = 0; // the first sample looked at since the restart
    qsizetype scanned_ = 0; // the samples before it are in columns_
};

} // namespace kavro
