// chartbench [HOURS]: a monitoring run of a working shift (8 hours by
// default) at 30 engine-speed readings a second on the trend chart, through
// the monitoring controller, the chart and its store, on the offscreen
// platform with a simulated clock and a 10-minute time span. Prints the time
// per added sample and per full redraw (lines brought up to date and the
// chart view rendered into an image) near the start and at the end, and the
// memory per stored point.

#include "platform/appenvironment.h"
#include "platform/userdialogs.h"
#include "ui/monparamsform.h"
#include "ui/trendchart.h"
#include "ui/trendmonitor.h"

#include "benchtiming.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QTimeEdit>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::bench::Summarise;
using kavro::bench::Timing;

namespace {

constexpr int ReadingsPerSecond = 30;
constexpr qint64 SpanMs = 10 * 60 * 1000;
constexpr qint64 SamplesPerSpan = SpanMs / 1000 * ReadingsPerSecond;
constexpr int Redraws = 20;
constexpr int SampleBlocks = 20; // a span's samples are timed in blocks

class SimulatedClock : public AppEnvironment
{
public:
    qint64 nowMs = QDateTime(QDate(2026, 12, 8), QTime(8, 0)).toMSecsSinceEpoch();
    QDateTime Now() const override { return QDateTime::fromMSecsSinceEpoch(nowMs); }
    QString ProgramFolder() const override { return QCoreApplication::applicationDirPath(); }
    void EndProgram(int) override { }
};

// Starts monitoring with the default span; nothing else is asked.
class StartingDialogs : public UserDialogs
{
public:
    Button Message(QWidget *, const QString &, const QString &, Icon, Buttons) override
    {
        return No;
    }
    int ChoosePort(QWidget *, int index) override { return index; }
    int ExecModal(QDialog &) override { return QDialog::Accepted; }
    QString ChooseSaveFileName(QWidget *, const SaveFileRequest &) override { return {}; }
    bool ChoosePrinter(QWidget *, QPrinter &) override { return false; }
};

// Resident memory of this process in KiB (VmRSS), or -1.
long ResidentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Values like those of the instrument simulator: the engine switched between
// idle and increased idle every two minutes, a warm engine's gases.
TrendMonitorContext::ChartValueArray Reading(qint64 index)
{
    const double seconds = double(index) / ReadingsPerSecond;
    const bool raised = qint64(seconds / 120) % 2 == 1;
    const double settled = 1 - std::exp(-std::fmod(seconds, 120.0) / 3);
    const double load = raised ? settled : 1 - settled;
    const double noise = std::sin(double(index) * 12.9898) * 0.5;
    return { 0.75 - 0.4 * load + 0.03 * noise, 170 - 70 * load + 6 * noise,
        14.1 + 0.3 * load + 0.05 * noise, 0.55 + 0.2 * load + 0.02 * noise, 1.0,
        800 + 1700 * load + 25 * noise, 85 };
}

class Run
{
public:
    Run()
        : monitor_(TrendMonitorContext {
                       .actMonitoring = NewAction(),
                       .actSaveGraphics = NewAction(),
                       .actClear = NewAction(),
                       .actPause = NewAction(),
                       .actResume = NewAction(),
                       .actGraphics = NewAction(),
                       .setMonitoringStatus = [](const QString &) {},
                       .chartValues = [this] { return Reading(samples_); },
                       .registrationNumber = [] { return QString(); },
                       .dialogs = dialogs_,
                       .environment = clock_,
                       .dialogParent = &window_,
                   },
            *panel_->Chart1)
    {
        window_.resize(800, 565);
        panel_->setGeometry(4, 154, 792, 387); // the charts page of the main window
        window_.show();
        monitor_.actMonitoringExecute();
        startMs_ = clock_.nowMs;
    }

    qint64 Samples() const { return samples_; }
    TTrendChart &Chart() { return *panel_->Chart1; }

    void AddSamples(qint64 count)
    {
        for (qint64 i = 0; i < count; ++i)
            AddSample();
    }

    // Adds a block of samples; the time per sample in microseconds.
    double TimeSampleBlock()
    {
        constexpr qint64 Block = SamplesPerSpan / SampleBlocks;
        QElapsedTimer timer;
        timer.start();
        AddSamples(Block);
        return double(timer.nsecsElapsed()) / 1e3 / double(Block);
    }

    // A full redraw after one more sample; the time in milliseconds.
    double TimeRedraw()
    {
        AddSample();
        QImage image(Chart().size(), QImage::Format_RGB32);
        QElapsedTimer timer;
        timer.start();
        Chart().RedrawNow();
        QPainter painter(&image);
        Chart().render(&painter);
        painter.end();
        return double(timer.nsecsElapsed()) / 1e6;
    }

private:
    static QAction *NewAction() { return new QAction(qApp); }

    void AddSample()
    {
        clock_.nowMs = startMs_ + samples_ * 1000 / ReadingsPerSecond;
        monitor_.AddChartSample();
        ++samples_;
    }

    SimulatedClock clock_;
    StartingDialogs dialogs_;
    QWidget window_;
    TTrendChartPanel *panel_ = new TTrendChartPanel(&window_);
    TrendMonitor monitor_;
    qint64 startMs_ = 0;
    qint64 samples_ = 0;
};

const char *Verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double hours = argc > 1 ? std::atof(argv[1]) : 8.0;
    const qint64 total = qint64(hours * 3600 * ReadingsPerSecond);
    if (total < 3 * SamplesPerSpan) {
        std::fprintf(stderr, "chartbench: a run of at least 30 minutes is needed\n");
        return 2;
    }

    // Two runs, one 10 minutes in and one near its end, timed in turns so
    // that the load of other processes falls on both alike.
    Run start;
    Run end;
    start.AddSamples(SamplesPerSpan); // the first span fills, the axis stands
    const long residentBefore = ResidentKiB();
    end.AddSamples(total - SamplesPerSpan - Redraws);
    const long residentAfter = ResidentKiB();
    std::vector<double> startSamples, endSamples, startRedraws, endRedraws;
    for (int block = 0; block < SampleBlocks; ++block) {
        startSamples.push_back(start.TimeSampleBlock());
        endSamples.push_back(end.TimeSampleBlock());
    }
    for (int redraw = 0; redraw < Redraws; ++redraw) {
        startRedraws.push_back(start.TimeRedraw());
        endRedraws.push_back(end.TimeRedraw());
    }
    const Timing startSample = Summarise(startSamples);
    const Timing endSample = Summarise(endSamples);
    const Timing startRedraw = Summarise(startRedraws);
    const Timing endRedraw = Summarise(endRedraws);
    Run &run = end;

    const TrendSeriesStore &store = run.Chart().Points();
    const double points = double(store.Size()) * TTrendChart::LineCount;
    const double storeBytesPerPoint = double(store.AllocatedBytes()) / points;
    const double residentBytesPerPoint = double(residentAfter - residentBefore) * 1024
        / double((total - SamplesPerSpan - Redraws) * TTrendChart::LineCount);
    qint64 drawnPoints = 0;
    for (QLineSeries *line : { run.Chart().Series1, run.Chart().Series2, run.Chart().Series3,
             run.Chart().Series4, run.Chart().Series5 })
        drawnPoints += line->count();

    std::printf("chartbench: %.1f h at %d readings/s, %lld samples per line, 10-minute span, "
                "chart %dx%d\n",
        hours, ReadingsPerSecond, static_cast<long long>(store.Size()), run.Chart().width(),
        run.Chart().height());
    std::printf("%-20s %18s %18s %10s\n", "(best / median)", "start (10-20 min)",
        "end (last 10 min)", "end/start");
    std::printf("%-20s %8.3f / %7.3f %8.3f / %7.3f %10.2f\n", "add a sample (us)", startSample.best,
        startSample.median, endSample.best, endSample.median, endSample.best / startSample.best);
    std::printf("%-20s %8.2f / %7.2f %8.2f / %7.2f %10.2f\n", "full redraw (ms)", startRedraw.best,
        startRedraw.median, endRedraw.best, endRedraw.median, endRedraw.best / startRedraw.best);
    std::printf("points drawn at the end: %lld of %lld stored\n",
        static_cast<long long>(drawnPoints), static_cast<long long>(points));
    std::printf("memory per stored point: %.2f bytes held by the store, %.2f bytes of resident "
                "growth\n",
        storeBytesPerPoint, residentBytesPerPoint);
    const bool sampleMet = endSample.best <= 1.5 * startSample.best;
    const bool redrawMet = endRedraw.best <= 1.5 * startRedraw.best && endRedraw.median < 30;
    const bool memoryMet = storeBytesPerPoint <= 32 && residentBytesPerPoint <= 32;
    std::printf(
        "targets: sample end <= 1.5 x start %s; redraw end <= 1.5 x start, median < 30 ms %s; "
        "<= 32 bytes per point %s\n",
        Verdict(sampleMet), Verdict(redrawMet), Verdict(memoryMet));
    return sampleMet && redrawMet && memoryMet ? 0 : 1;
}
