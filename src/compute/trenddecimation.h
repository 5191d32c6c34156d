#pragma once

#include <QList>
#include <QPointF>

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

} // namespace kavro
