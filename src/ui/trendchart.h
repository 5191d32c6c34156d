#pragma once

#include "compute/trenddecimation.h"
#include "compute/trendseries.h"

#include <QChartView>
#include <QPointer>
#include <QWidget>
#include <array>

class QAction;
class QDateTimeAxis;
class QGraphicsTextItem;
class QLineSeries;
class QMenu;
class QTimer;
class QValueAxis;

namespace kavro {

// The trend chart Chart1: CO, CO2 and O2 (left axis, %) and CH and engine
// speed (right axis) against time, on black. It keeps every point given to
// it (TrendSeriesStore) and draws only those of the time axis' span: at most
// a few times per second, a column of pixels holding at most two points per
// line, so the cost of a sample and of a redraw does not grow with the run.
// The time axis is set by its owner (minimum, maximum, label increment);
// this class only shows it.
class TTrendChart : public QChartView
{
    Q_OBJECT

public:
    // The values of one sample, by line: Series1 CO, Series2 CH, Series3
    // CO2, Series4 O2, Series5 engine speed.
    static constexpr int LineCount = 5;
    using Sample = std::array<double, LineCount>;
    // Redraws wait for further changes about as long as the time axis takes
    // to move by one pixel column, within these bounds: a 10-minute span is
    // redrawn about once a second, a span of a minute five times a second.
    static constexpr int RedrawDelayMs = 200;
    static constexpr int MaxRedrawDelayMs = 1000;

    explicit TTrendChart(QWidget *parent = nullptr);

    // Fills the context menu PopupMenu1: save, a separator, clear, pause,
    // resume.
    void SetPopupActions(QAction *saveGraphics, QAction *clear, QAction *pause, QAction *resume);

    // Times are milliseconds since the epoch, as the date-time axis counts.

    // Adds a point to each line. False when the points could not be kept
    // (out of memory): every line has then been emptied.
    bool AppendSample(qint64 timeMs, const Sample &values);
    void ClearPoints();
    const TrendSeriesStore &Points() const { return points_; }

    // The time axis: its span and the time between two labels. A span of
    // zero length is shown as the second before its maximum, with labels at
    // both ends only.
    void SetTimeAxis(qint64 minimumMs, qint64 maximumMs, qint64 labelIncrementMs);
    qint64 TimeAxisMinimum() const { return axisMinimumMs_; }
    qint64 TimeAxisMaximum() const { return axisMaximumMs_; }
    qint64 TimeAxisLabelIncrement() const { return labelIncrementMs_; }

    // Brings the drawn lines and axis up to date now instead of at the next
    // redraw (before a picture is taken of the chart).
    void RedrawNow();

    QLineSeries *Series1 = nullptr; // CO
    QLineSeries *Series2 = nullptr; // CH
    QLineSeries *Series3 = nullptr; // CO2
    QLineSeries *Series4 = nullptr; // O2
    QLineSeries *Series5 = nullptr; // engine speed
    QDateTimeAxis *BottomAxis = nullptr;
    QValueAxis *LeftAxis = nullptr;
    QValueAxis *RightAxis = nullptr;
    QMenu *PopupMenu1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void CreateAxes();
    void CreateSeries();
    void StyleChart();
    void ScheduleRedraw();
    void ResetVisiblePoints();
    void RedrawIfShown();
    int PlotColumns() const;
    QGraphicsTextItem *TitleItem();

    TrendSeriesStore points_;
    std::array<TrendDecimationCache, LineCount> visiblePoints_ {};
    std::array<QLineSeries *, LineCount> lines_ {};
    QTimer *redrawTimer_ = nullptr;
    bool redrawWhenShown_ = false;
    qint64 axisMinimumMs_ = 0;
    qint64 axisMaximumMs_ = 0;
    qint64 labelIncrementMs_ = 0;
    qint64 shownMinimumMs_ = -1; // the span the date-time axis shows now
    qint64 shownMaximumMs_ = -1;
    QPointer<QGraphicsTextItem> titleItem_;
};

// Panel34 of the charts page: holds Chart1, which fills it.
class TTrendChartPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TTrendChartPanel(QWidget *parent = nullptr);

    TTrendChart *Chart1 = nullptr;
};

} // namespace kavro
