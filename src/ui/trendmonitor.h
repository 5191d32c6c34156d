#pragma once

#include "compute/quantities.h"
#include "ui/monparamsform.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class QAction;
class QWidget;

namespace kavro {

class AppEnvironment;
class TTrendChart;
class UserDialogs;

// What the monitoring takes from the main window.
struct TrendMonitorContext
{
    using ChartValueArray = std::array<double, QuantityCount>;

    QAction *actMonitoring; // made checkable: checked while monitoring is on
    QAction *actSaveGraphics;
    QAction *actClear;
    QAction *actPause;
    QAction *actResume;
    QAction *actGraphics; // executed at a start: shows the charts page
    std::function<void(const QString &)> setMonitoringStatus; // status bar panel 1
    std::function<ChartValueArray()> chartValues; // latest values before limiting, by quantity
    std::function<QString()> registrationNumber; // of the vehicle shown
    UserDialogs &dialogs;
    AppEnvironment &environment; // clock and program folder
    QWidget *dialogParent; // the main window
};

// Monitoring mode ("Режим слежения"): records CO, CH, CO2, O2 and engine
// speed on the trend chart over a chosen time span, with pause, resume,
// clear, stop and saving the chart as a bitmap. It runs the chart's actions
// (their triggered signals are connected here) and keeps their enabled
// states; the main window calls AddChartSample with every engine-speed
// value it shows.
class TrendMonitor : public QObject
{
    Q_OBJECT

public:
    // The span of the time axis before the first start, and its labels.
    static constexpr qint64 InitialSpanMs = 60'000;
    static constexpr qint64 InitialLabelIncrementMs = 10'000;
    static constexpr int LabelsPerSpan = 10;

    TrendMonitor(TrendMonitorContext context, TTrendChart &chart, QObject *parent = nullptr);
    ~TrendMonitor() override;

    void actMonitoringExecute();
    void actPauseExecute();
    void actResumeExecute();
    void actClearExecute();
    void actSaveGraphicsExecute();
    // One point per line from the chart values, while monitoring runs.
    void AddChartSample();

    bool MonitoringOn() const { return monitoringOn_; }
    bool MonitoringRunning() const { return monitoringRunning_; }
    TMonParamsForm &MonParamsForm() const { return *monParamsForm_; }
    TTrendChart &Chart() const { return chart_; }

private:
    void StartMonitoring();
    void StopMonitoring();
    void RestartTimeAxis(qint64 nowMs);
    qint64 NowMs() const;
    qint64 MonitoringDurationMs() const;
    QString WriteChartBitmap(const QString &path) const;

    TrendMonitorContext context_;
    TTrendChart &chart_;
    QPointer<TMonParamsForm> monParamsForm_; // owned; its parent may delete it first
    bool monitoringOn_ = false;
    bool monitoringRunning_ = false;
};

} // namespace kavro
