#include "ui/trendmonitor.h"

#include "compute/chartpicturename.h"
#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/monparamsform.h"
#include "ui/trendchart.h"

#include <QAction>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
const QString MonitoringOnText = u" Режим слежения включен"_s;
const QString MonitoringOffText = u" Режим слежения выключен"_s;
const QString PicturesFolderName = u"Графики"_s;
} // namespace

TrendMonitor::TrendMonitor(TrendMonitorContext context, TTrendChart &chart, QObject *parent)
    : QObject(parent)
    , context_(std::move(context))
    , chart_(chart)
    , monParamsForm_(new TMonParamsForm(context_.dialogParent))
{
    setObjectName(u"TrendMonitor"_s);
    context_.actMonitoring->setCheckable(true);
    connect(context_.actMonitoring, &QAction::triggered, this, &TrendMonitor::actMonitoringExecute);
    connect(context_.actPause, &QAction::triggered, this, &TrendMonitor::actPauseExecute);
    connect(context_.actResume, &QAction::triggered, this, &TrendMonitor::actResumeExecute);
    connect(context_.actClear, &QAction::triggered, this, &TrendMonitor::actClearExecute);
    connect(
        context_.actSaveGraphics, &QAction::triggered, this, &TrendMonitor::actSaveGraphicsExecute);
    chart_.SetPopupActions(
        context_.actSaveGraphics, context_.actClear, context_.actPause, context_.actResume);

    // Before the first start: the minute from now, labelled every 10 s.
    const qint64 second = NowMs() / 1000 * 1000;
    chart_.SetTimeAxis(second, second + InitialSpanMs, InitialLabelIncrementMs);
}

TrendMonitor::~TrendMonitor()
{
    delete monParamsForm_;
}

void TrendMonitor::actMonitoringExecute()
{
    if (monitoringOn_)
        StopMonitoring();
    else
        StartMonitoring();
    // A checkable action has toggled itself already; it shows the mode.
    context_.actMonitoring->setChecked(monitoringOn_);
}

void TrendMonitor::StartMonitoring()
{
    if (context_.dialogs.ExecModal(*monParamsForm_) != QDialog::Accepted)
        return;
    monitoringRunning_ = true;
    context_.actResume->setEnabled(false);
    context_.actPause->setEnabled(true);
    context_.actClear->setEnabled(true);
    context_.actGraphics->trigger();
    context_.setMonitoringStatus(MonitoringOnText);
    monitoringOn_ = true;
    chart_.ClearPoints();
    RestartTimeAxis(NowMs());
    context_.actSaveGraphics->setEnabled(true);
}

// The points stay, and so does MonitoringRunning: recording also needs
// monitoring on.
void TrendMonitor::StopMonitoring()
{
    monitoringOn_ = false;
    context_.setMonitoringStatus(MonitoringOffText);
    context_.actResume->setEnabled(false);
    context_.actPause->setEnabled(false);
    context_.actClear->setEnabled(false);
}

void TrendMonitor::RestartTimeAxis(qint64 nowMs)
{
    const qint64 duration = MonitoringDurationMs();
    chart_.SetTimeAxis(nowMs, nowMs + duration, duration / LabelsPerSpan);
}

// The local clock read once and kept as a count: the system's local time
// conversions look up the time zone every time.
qint64 TrendMonitor::NowMs() const
{
    return context_.environment.NowMsSinceEpoch();
}

qint64 TrendMonitor::MonitoringDurationMs() const
{
    return monParamsForm_->MonitoringDurationMs();
}

void TrendMonitor::actPauseExecute()
{
    context_.actPause->setEnabled(false);
    context_.actResume->setEnabled(true);
    monitoringRunning_ = false;
}

void TrendMonitor::actResumeExecute()
{
    monitoringRunning_ = true;
    context_.actPause->setEnabled(true);
    context_.actResume->setEnabled(false);
}

void TrendMonitor::actClearExecute()
{
    const UserDialogs::Button answer = context_.dialogs.Message(context_.dialogParent,
        u"Режим слежения"_s, u"Вы действительно хотите очистить область построения?"_s,
        UserDialogs::Icon::Question, UserDialogs::Yes | UserDialogs::No);
    if (answer != UserDialogs::Yes)
        return;
    chart_.ClearPoints();
    RestartTimeAxis(NowMs());
}

void TrendMonitor::AddChartSample()
{
    if (!monitoringOn_ || !monitoringRunning_)
        return;
    const qint64 now = NowMs();
    // The axis stands until the first span is full, then its right end
    // follows the newest point.
    if (now > chart_.TimeAxisMaximum())
        chart_.SetTimeAxis(now - MonitoringDurationMs(), now, chart_.TimeAxisLabelIncrement());
    // Unlimited values: a line may leave its axis' range.
    const TrendMonitorContext::ChartValueArray values = context_.chartValues();
    // An error while appending has emptied every line; recording goes on.
    chart_.AppendSample(
        now, { values[qnCO], values[qnCH], values[qnCO2], values[qnO2], values[qnEngineSpeed] });
}

void TrendMonitor::actSaveGraphicsExecute()
{
    const QString folder = QDir(context_.environment.ProgramFolder()).filePath(PicturesFolderName);
    QDir().mkpath(folder); // if it cannot be made, the dialog shows where it can
    const SaveFileRequest request {
        .title = u"Сохранение графиков"_s,
        .folder = folder,
        .proposedName = ChartPictureFileName(context_.registrationNumber()),
        .filter = u"Bitmaps (*.bmp)"_s,
        .defaultSuffix = u"bmp"_s,
    };
    const QString path = context_.dialogs.ChooseSaveFileName(context_.dialogParent, request);
    if (path.isEmpty())
        return;
    if (const QString error = WriteChartBitmap(path); !error.isEmpty())
        context_.dialogs.Message(
            context_.dialogParent, ProgramName, error, UserDialogs::Icon::Error, UserDialogs::Ok);
}

// The whole chart as drawn now, as a Windows bitmap; the reason on failure.
// A file that is there already is replaced only by a complete picture.
QString TrendMonitor::WriteChartBitmap(const QString &path) const
{
    chart_.RedrawNow();
    const QImage picture = chart_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QSaveFile file(path);
    const auto failure = [&path](const QString &reason) {
        return u"Не удалось сохранить рисунок в файл\r%1\r%2"_s.arg(
            QDir::toNativeSeparators(path), reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    QImageWriter writer(&file, "BMP");
    if (!writer.write(picture))
        return failure(writer.errorString());
    if (!file.commit())
        return failure(file.errorString());
    return {};
}

} // namespace kavro
