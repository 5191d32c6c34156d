#include "ui/trendchart.h"

#include "compute/trenddecimation.h"

#include <QAction>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

const QColor Lime(0, 255, 0);
const QColor Olive(128, 128, 0);
const QColor Yellow(255, 255, 0);
const QColor FrameOrange(255, 128, 0);
constexpr int TitlePixelSize = 19;
constexpr int TextPixelSize = 11;
constexpr int LineWidth = 2;
constexpr qint64 ZeroSpanShownMs = 1000;
constexpr int MaxTickCount = 101;
constexpr double LeftLabelStep = 1;

QFont ArialFont(int pixelSize)
{
    QFont font(u"Arial"_s);
    font.setPixelSize(pixelSize);
    return font;
}

struct LineDefinition
{
    QLineSeries *TTrendChart::*member;
    QString name;
    QString title;
    QColor colour;
    bool rightAxis;
};

// In the order of drawing and of the legend.
const LineDefinition LineDefinitions[] = {
    { &TTrendChart::Series5, u"Series5"_s, u"Тахометр"_s, QColor(255, 0, 255), true },
    { &TTrendChart::Series4, u"Series4"_s, u"O2"_s, QColor(0, 255, 255), false },
    { &TTrendChart::Series3, u"Series3"_s, u"CO2"_s, QColor(255, 255, 0), false },
    { &TTrendChart::Series1, u"Series1"_s, u"CO"_s, QColor(255, 0, 0), false },
    { &TTrendChart::Series2, u"Series2"_s, u"CH"_s, QColor(128, 255, 0), true },
};

// The label step of a value axis: the smallest of minimumStep times 1, 2, 5,
// 10, 20, 50, ... whose labels do not overlap on an axis that many pixels
// long (a tenth of a label's height between them).
double FittingLabelStep(const QValueAxis &axis, double minimumStep, double pixels)
{
    const double labelSpacing = 1.1 * QFontMetricsF(axis.labelsFont()).height();
    const double range = axis.max() - axis.min();
    if (range <= 0 || pixels <= 0)
        return minimumStep;
    for (double decade = minimumStep;; decade *= 10)
        for (double factor : { 1, 2, 5 })
            if (pixels * decade * factor / range >= labelSpacing || decade * factor >= range)
                return std::min(decade * factor, range);
}

void StyleAxis(QAbstractAxis &axis, const QString &title)
{
    axis.setTitleText(title);
    axis.setTitleFont(ArialFont(TextPixelSize));
    axis.setTitleBrush(Lime);
    axis.setLabelsFont(ArialFont(TextPixelSize));
    axis.setLabelsColor(Lime);
    axis.setLinePen(QPen(Olive, 1));
    axis.setGridLinePen(QPen(Olive, 1));
    axis.setMinorGridLinePen(QPen(Olive, 1));
    axis.setTruncateLabels(false);
}

} // namespace

TTrendChart::TTrendChart(QWidget *parent)
    : QChartView(parent)
    , points_(LineCount)
    , redrawTimer_(new QTimer(this))
{
    setObjectName(u"Chart1"_s);
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::black);
    setRenderHint(QPainter::Antialiasing, false);

    CreateAxes();
    CreateSeries();
    StyleChart();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &position) { PopupMenu1->popup(viewport()->mapToGlobal(position)); });

    redrawTimer_->setObjectName(u"RedrawTimer"_s);
    redrawTimer_->setSingleShot(true);
    redrawTimer_->setInterval(RedrawDelayMs);
    connect(redrawTimer_, &QTimer::timeout, this, &TTrendChart::RedrawIfShown);

    SetTimeAxis(0, 60'000, 10'000);
    RedrawNow();
}

void TTrendChart::CreateAxes()
{
    QChart *chart = this->chart();
    BottomAxis = new QDateTimeAxis(chart);
    BottomAxis->setObjectName(u"BottomAxis"_s);
    LeftAxis = new QValueAxis(chart);
    LeftAxis->setObjectName(u"LeftAxis"_s);
    RightAxis = new QValueAxis(chart);
    RightAxis->setObjectName(u"RightAxis"_s);
    // Added before they are styled: the chart's theme styles a new axis.
    chart->addAxis(BottomAxis, Qt::AlignBottom);
    chart->addAxis(LeftAxis, Qt::AlignLeft);
    chart->addAxis(RightAxis, Qt::AlignRight);

    StyleAxis(*BottomAxis, u"Время измерений"_s);
    BottomAxis->setFormat(u"HH:mm:ss"_s);

    StyleAxis(*LeftAxis, u"CO, CO2, O2 (%)"_s);
    LeftAxis->setRange(0, 30);
    LeftAxis->setTickInterval(LeftLabelStep);
    LeftAxis->setTickType(QValueAxis::TicksDynamic);
    LeftAxis->setTickAnchor(0);
    LeftAxis->setLabelFormat(u"%i"_s);

    StyleAxis(*RightAxis, u"CH, ppm"_s);
    RightAxis->setRange(0, 3000);
    RightAxis->setTickInterval(500);
    RightAxis->setTickType(QValueAxis::TicksDynamic);
    RightAxis->setTickAnchor(0);
    RightAxis->setLabelFormat(u"%i"_s);
    RightAxis->setGridLineVisible(false);
}

void TTrendChart::CreateSeries()
{
    QChart *chart = this->chart();
    for (const LineDefinition &definition : LineDefinitions) {
        auto *line = new QLineSeries(chart);
        line->setObjectName(definition.name);
        line->setName(definition.title);
        chart->addSeries(line);
        line->attachAxis(BottomAxis);
        line->attachAxis(definition.rightAxis ? RightAxis : LeftAxis);
        // After addSeries: the chart's theme colours a new series.
        line->setPen(QPen(definition.colour, LineWidth));
        line->setPointsVisible(false);
        line->setPointLabelsVisible(false);
        this->*definition.member = line;
    }
    lines_ = { Series1, Series2, Series3, Series4, Series5 };
}

void TTrendChart::StyleChart()
{
    QChart *chart = this->chart();
    chart->setBackgroundBrush(Qt::black);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundVisible(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(6, 4, 6, 4));
    chart->setTitle(u"Слежение за уровнями"_s);
    chart->setTitleFont(ArialFont(TitlePixelSize));
    chart->setTitleBrush(Lime);

    QLegend *legend = chart->legend();
    legend->setAlignment(Qt::AlignBottom);
    legend->setBackgroundVisible(true);
    legend->setBrush(Qt::black);
    legend->setBorderColor(FrameOrange);
    legend->setLabelColor(Yellow);
    legend->setFont(ArialFont(TextPixelSize));
    legend->layout()->setContentsMargins(2, 1, 2, 1);
}

void TTrendChart::SetPopupActions(
    QAction *saveGraphics, QAction *clear, QAction *pause, QAction *resume)
{
    PopupMenu1->clear();
    PopupMenu1->addAction(saveGraphics);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({ clear, pause, resume });
}

bool TTrendChart::AppendSample(qint64 timeMs, const Sample &values)
{
    const bool kept = points_.Append(timeMs, values);
    if (!kept)
        ResetVisiblePoints(); // the store has been emptied
    ScheduleRedraw();
    return kept;
}

void TTrendChart::ClearPoints()
{
    points_.Clear();
    ResetVisiblePoints();
    ScheduleRedraw();
}

void TTrendChart::ResetVisiblePoints()
{
    for (TrendDecimationCache &cache : visiblePoints_)
        cache.Reset();
}

void TTrendChart::SetTimeAxis(qint64 minimumMs, qint64 maximumMs, qint64 labelIncrementMs)
{
    axisMinimumMs_ = minimumMs;
    axisMaximumMs_ = maximumMs;
    labelIncrementMs_ = labelIncrementMs;
    ScheduleRedraw();
}

void TTrendChart::ScheduleRedraw()
{
    if (redrawTimer_->isActive())
        return;
    const qint64 msPerColumn = (axisMaximumMs_ - axisMinimumMs_) / PlotColumns();
    redrawTimer_->start(int(std::clamp<qint64>(msPerColumn, RedrawDelayMs, MaxRedrawDelayMs)));
}

void TTrendChart::RedrawIfShown()
{
    if (isVisible())
        RedrawNow();
    else
        redrawWhenShown_ = true;
}

void TTrendChart::RedrawNow()
{
    redrawTimer_->stop();
    redrawWhenShown_ = false;

    // The date-time axis cannot show an empty span, nor labels without a step.
    const qint64 shownMaximum = axisMaximumMs_;
    const qint64 shownMinimum = std::min(axisMinimumMs_, axisMaximumMs_ - ZeroSpanShownMs);
    const qint64 span = axisMaximumMs_ - axisMinimumMs_;
    const int ticks = span > 0 && labelIncrementMs_ > 0
        ? int(std::clamp<qint64>(span / labelIncrementMs_ + 1, 2, MaxTickCount))
        : 2;
    if (shownMinimum != shownMinimumMs_ || shownMaximum != shownMaximumMs_) {
        // Emptied first: the lines would otherwise be laid out once with
        // their old points on the new axis and once more with the new ones.
        for (QLineSeries *line : lines_)
            line->clear();
        BottomAxis->setRange(QDateTime::fromMSecsSinceEpoch(shownMinimum),
            QDateTime::fromMSecsSinceEpoch(shownMaximum));
        shownMinimumMs_ = shownMinimum;
        shownMaximumMs_ = shownMaximum;
    }
    BottomAxis->setTickCount(ticks);

    // Label steps as the height allows: the left axis every 1 % where there
    // is room, the right axis chooses its own.
    chart()->layout()->activate();
    const double plotHeight = chart()->plotArea().height();
    LeftAxis->setTickInterval(FittingLabelStep(*LeftAxis, LeftLabelStep, plotHeight));
    RightAxis->setTickInterval(FittingLabelStep(*RightAxis, 1, plotHeight));
    chart()->layout()->activate(); // a picture may be taken before the next event

    const int columns = PlotColumns();
    for (int line = 0; line < LineCount; ++line)
        lines_[std::size_t(line)]->replace(visiblePoints_[std::size_t(line)].VisiblePoints(
            points_, line, shownMinimum, shownMaximum, columns));
}

int TTrendChart::PlotColumns() const
{
    const int plotWidth = int(chart()->plotArea().width());
    return std::max(plotWidth > 0 ? plotWidth : width(), 1);
}

void TTrendChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    ScheduleRedraw(); // the number of pixel columns has changed
}

void TTrendChart::showEvent(QShowEvent *event)
{
    if (redrawWhenShown_)
        RedrawNow();
    QChartView::showEvent(event);
}

QGraphicsTextItem *TTrendChart::TitleItem()
{
    if (titleItem_)
        return titleItem_;
    QList<QGraphicsItem *> items = chart()->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem *item = items.takeFirst();
        auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item);
        if (text && text->toPlainText() == chart()->title())
            return titleItem_ = text;
        items += item->childItems();
    }
    return nullptr;
}

// The chart draws its title without a frame; the frame goes round it here.
void TTrendChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    const QGraphicsTextItem *title = TitleItem();
    if (!title || !title->isVisible())
        return;
    painter->save();
    painter->setPen(QPen(FrameOrange, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(title->sceneBoundingRect().adjusted(0, 0, -1, -1));
    painter->restore();
}

TTrendChartPanel::TTrendChartPanel(QWidget *parent)
    : QWidget(parent)
    , Chart1(new TTrendChart(this))
{
    setObjectName(u"Panel34"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Chart1);
}

} // namespace kavro
