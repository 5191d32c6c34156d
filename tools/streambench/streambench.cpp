// streambench: the cost of a live stream to the whole program. Runs the
// program's own objects (start sequence, main window, receiver, vehicle and
// measurement windows, trend chart) in this process on the offscreen
// platform, against the simulated instrument kavro02-sim on a
// pseudo-terminal, registers a vehicle through the vehicle dialog, and
// measures this process's CPU time and memory while the stream runs:
//
//   streambench [SECONDS] [--span SECONDS] [-- SIMULATOR OPTIONS]
//       the line rate (960 bytes/s) for SECONDS (default 60) on each of the
//       scales page, the numbers page and the charts page with monitoring
//       on (the chart's span: --span, default 10 minutes);
//   streambench --soak [SECONDS] [--span SECONDS] [-- SIMULATOR OPTIONS]
//       kavro02-sim --fast (as fast as the line takes the bytes) for
//       SECONDS (default 600) on the charts page with monitoring on, with a
//       line every 30 s: engine-speed samples stored, the memory the chart
//       holds for them, and the growth of the process's memory since the
//       start, to compare.
//
// Options after "--" go to kavro02-sim (e.g. "-- --noise 0" for readings
// that do not change, "-- --raised" for increased idle).
//
// The program is driven in-process rather than as a separate executable so
// that the vehicle can be registered through the real dialogs (scripted as
// the tests script them) without an automation hook in the program; only
// the benchmark's own timers and the simulator's process handle run beside
// it, which costs next to nothing. Figures: CPU time (user + system, from
// getrusage) per second of wall time, resident memory (VmRSS) and heap in
// use (malloc's count, which does not move with page reuse as RSS does).

#include "app/programstart.h"
#include "support/operatorsteps.h"
#include "support/scripteddialogs.h"
#include "ui/mainform.h"
#include "ui/monparamsform.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

const QString Simulator = QStringLiteral(KAVRO_SIMULATOR);
constexpr int SoakReportSeconds = 30;
constexpr qint64 BytesPerSample = 8 + 5 * 8; // one time and five values

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds
        = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A field of /proc/PID/status in kB, e.g. "VmRSS".
qint64 StatusKb(const QString &statusPath, const QByteArray &field)
{
    QFile file(statusPath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

qint64 ResidentKb()
{
    return StatusKb(u"/proc/self/status"_s, "VmRSS");
}

qint64 HeapInUseBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// Counts the widgets painted, the main cost of the live display.
class PaintCounter : public QObject
{
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    qint64 count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Bytes the simulator has written (the stream; its log of the program's
// few commands goes to /dev/null).
qint64 BytesWritten(qint64 pid)
{
    QFile file(u"/proc/%1/io"_s.arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith("wchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

// The real clock and a program folder of the benchmark's own; an end of
// the program (lost connection) is recorded and stops the run.
class BenchEnvironment : public AppEnvironment
{
public:
    explicit BenchEnvironment(QString folder)
        : folder_(std::move(folder))
    { }

    QDateTime Now() const override { return QDateTime::currentDateTime(); }
    qint64 NowMsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch(); }
    QString ProgramFolder() const override { return folder_; }
    void EndProgram(int) override
    {
        ended = true;
        QCoreApplication::exit(1);
    }
    bool ended = false;

private:
    QString folder_;
};

void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitFor(const std::function<bool()> &condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        RunEventLoopFor(20);
    }
    return true;
}

struct Snapshot
{
    double cpu = CpuSeconds();
    qint64 wallMs = 0;
    qint64 residentKb = ResidentKb();
    qint64 heapBytes = HeapInUseBytes();
    qint64 streamBytes = 0;
};

class StreamBench
{
public:
    StreamBench(bool fast, QStringList simulatorOptions, QString folder)
        : fast_(fast)
        , simulatorOptions_(std::move(simulatorOptions))
        , folder_(std::move(folder))
        , environment_(folder_)
    { }

    ~StreamBench()
    {
        program_.reset();
        if (simulator_.state() != QProcess::NotRunning) {
            simulator_.terminate();
            simulator_.waitForFinished(5000);
        }
    }

    // The simulator on a pseudo-terminal, the program connected to it and
    // a vehicle registered: the scales page shows the live values.
    bool Start()
    {
        const QString link = folder_ + u"/instrument"_s;
        QStringList arguments { u"--link"_s, link, u"--program-folder"_s, folder_, u"--log"_s,
            u"/dev/null"_s, u"--countdown"_s, u"40"_s, u"--warm"_s, u"--exit-with-pid"_s,
            QString::number(QCoreApplication::applicationPid()) };
        if (fast_)
            arguments << u"--fast"_s;
        arguments << simulatorOptions_;
        simulator_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        simulator_.setStandardOutputFile(QProcess::nullDevice());
        simulator_.start(Simulator, arguments);
        if (!simulator_.waitForStarted(5000)
            || !WaitFor([&] { return QFileInfo(link).isSymLink(); }, 10000)) {
            std::fprintf(stderr, "kavro02-sim did not start (%s)\n", qPrintable(Simulator));
            return false;
        }

        program_ = std::make_unique<ProgramStart>(environment_, dialogs_);
        if (!program_->Run()) {
            std::fprintf(stderr, "the program did not connect\n");
            return false;
        }
        ReceiverData &data = program_->Receiver();
        if (!WaitFor([&] { return data.BlockReceived && !data.ZeroCapture; }, 30000)) {
            std::fprintf(stderr,
                "no calibration block from the simulator (receiver state %d, block %d, zero "
                "capture %d)\n",
                int(data.ReceiverState), int(data.BlockReceived), int(data.ZeroCapture));
            return false;
        }

        dialogs_.answers = { UserDialogs::Yes }; // add the vehicle to the register
        dialogs_.dialogHandlers << test::EnterVehicle(
            { u"А123ВС"_s, u"77"_s, u"ГАЗ-3302"_s, u"Иванов"_s, u"Пётр"_s, u"Ильич"_s, 1, 3, 1 },
            dialogs_);
        Form().actNewCar->trigger();
        if (Form().ShownPageIndex() != TMainForm::pgLevels) {
            std::fprintf(stderr, "the vehicle was not registered\n");
            return false;
        }
        return true;
    }

    TMainForm &Form() const { return *program_->MainForm(); }

    // Monitoring on, over the span given (seconds; 0: the dialog's default,
    // 10 minutes).
    void StartMonitoring(int spanSeconds)
    {
        dialogs_.dialogHandlers << [spanSeconds](QDialog &dialog) {
            auto &parameters = static_cast<TMonParamsForm &>(dialog);
            parameters.show();
            if (spanSeconds > 0)
                parameters.DateTimePicker1->setTime(QTime(0, 0).addSecs(spanSeconds));
            QTest::mouseClick(parameters.Button1, Qt::LeftButton);
            parameters.hide();
            return parameters.result();
        };
        Form().actMonitoring->trigger();
    }

    qsizetype ChartSamples() const { return Form().Chart1->Points().Size(); }
    qint64 ChartBytes() const { return Form().Chart1->Points().AllocatedBytes(); }

    Snapshot Take(const QElapsedTimer &clock) const
    {
        Snapshot snapshot;
        snapshot.wallMs = clock.elapsed();
        snapshot.streamBytes = BytesWritten(simulator_.processId());
        return snapshot;
    }

    // Runs the stream on the page shown for `seconds`, after a few seconds
    // for the page's first drawing, and prints the figures.
    bool Phase(const char *name, int seconds)
    {
        RunEventLoopFor(3000);
        QElapsedTimer clock;
        clock.start();
        const qsizetype samplesBefore = ChartSamples();
        PaintCounter paints;
        const Snapshot start = Take(clock);
        RunEventLoopFor(seconds * 1000);
        const Snapshot end = Take(clock);
        if (environment_.ended) {
            std::printf("%-26s the program ended: lost connection\n", name);
            return false;
        }
        const double wall = double(end.wallMs - start.wallMs) / 1000;
        std::printf("%-26s %6.2f ms CPU/s  %4.0f bytes/s  %4.0f paints/s  RSS %5.1f -> %5.1f MB "
                    "(%+5.0f kB)  heap %+5.0f kB  chart %lld samples\n",
            name, (end.cpu - start.cpu) * 1000 / wall,
            double(end.streamBytes - start.streamBytes) / wall, double(paints.count) / wall,
            double(start.residentKb) / 1024, double(end.residentKb) / 1024,
            double(end.residentKb - start.residentKb),
            double(end.heapBytes - start.heapBytes) / 1024,
            static_cast<long long>(ChartSamples() - samplesBefore));
        std::fflush(stdout);
        return true;
    }

    // Monitoring runs for `seconds`; every SoakReportSeconds a line.
    bool Soak(int seconds, int spanSeconds)
    {
        StartMonitoring(spanSeconds);
        RunEventLoopFor(3000);
        QElapsedTimer clock;
        clock.start();
        const Snapshot start = Take(clock);
        const qsizetype samplesAtStart = ChartSamples();
        const qint64 chartBytesAtStart = ChartBytes();
        std::printf("%7s %9s %10s %12s %12s %12s %12s %9s\n", "time s", "CPU ms/s", "bytes/s",
            "samples", "chart kB", "expected kB", "heap +kB", "RSS +kB");
        Snapshot last = start;
        for (int elapsed = 0; elapsed < seconds;) {
            const int step = std::min(SoakReportSeconds, seconds - elapsed);
            RunEventLoopFor(step * 1000);
            elapsed += step;
            const Snapshot now = Take(clock);
            if (environment_.ended || simulator_.state() != QProcess::Running) {
                std::printf("after %d s: %s\n", elapsed,
                    environment_.ended ? "the program ended: lost connection"
                                       : "the simulator ended");
                return false;
            }
            const double wall = double(now.wallMs - last.wallMs) / 1000;
            const qsizetype samples = ChartSamples() - samplesAtStart;
            std::printf("%7d %9.2f %10.0f %12lld %12.0f %12.0f %12.0f %9.0f\n", elapsed,
                (now.cpu - last.cpu) * 1000 / wall,
                double(now.streamBytes - last.streamBytes) / wall, static_cast<long long>(samples),
                double(ChartBytes() - chartBytesAtStart) / 1024,
                double(samples * BytesPerSample) / 1024,
                double(now.heapBytes - start.heapBytes) / 1024,
                double(now.residentKb - start.residentKb));
            std::fflush(stdout);
            last = now;
        }
        const qsizetype samples = ChartSamples() - samplesAtStart;
        const double wall = double(last.wallMs - start.wallMs) / 1000;
        std::printf("\n%lld engine-speed samples in %.0f s (%.0f/s), %lld points; "
                    "expected growth %lld samples x %lld bytes = %.1f MB, "
                    "chart store +%.1f MB, heap +%.1f MB, RSS +%.1f MB; CPU %.1f ms/s\n",
            static_cast<long long>(samples), wall, double(samples) / wall,
            static_cast<long long>(samples * 5), static_cast<long long>(samples),
            static_cast<long long>(BytesPerSample), double(samples * BytesPerSample) / 1048576,
            double(ChartBytes() - chartBytesAtStart) / 1048576,
            double(last.heapBytes - start.heapBytes) / 1048576,
            double(last.residentKb - start.residentKb) / 1024,
            (last.cpu - start.cpu) * 1000 / wall);
        return true;
    }

    const test::ScriptedDialogs &Dialogs() const { return dialogs_; }

private:
    bool fast_;
    QStringList simulatorOptions_;
    QString folder_;
    BenchEnvironment environment_;
    test::ScriptedDialogs dialogs_;
    QProcess simulator_;
    std::unique_ptr<ProgramStart> program_;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    QStringList arguments = QCoreApplication::arguments().mid(1);
    const qsizetype separator = arguments.indexOf(u"--"_s);
    const QStringList simulatorOptions
        = separator < 0 ? QStringList() : arguments.mid(separator + 1);
    if (separator >= 0)
        arguments.resize(separator);
    const bool soak = arguments.removeAll(u"--soak"_s) > 0;
    int spanSeconds = 0;
    if (const qsizetype span = arguments.indexOf(u"--span"_s); span >= 0) {
        spanSeconds = std::clamp(arguments.value(span + 1).toInt(), 1, 86399);
        arguments.remove(span, std::min<qsizetype>(2, arguments.size() - span));
    }
    const int seconds = arguments.isEmpty() ? (soak ? 600 : 60) : std::max(1, arguments[0].toInt());

    QTemporaryDir folder;
    StreamBench bench(soak, simulatorOptions, folder.path());
    if (!bench.Start())
        return 1;
    std::printf("the program against kavro02-sim%s%s, a vehicle registered; %d s%s\n",
        soak ? " --fast" : " at the line rate",
        qPrintable(simulatorOptions.isEmpty() ? QString() : u' ' + simulatorOptions.join(u' ')),
        seconds, soak ? "" : " per page");
    std::fflush(stdout);

    bool ok = true;
    if (soak) {
        ok = bench.Soak(seconds, spanSeconds);
    } else {
        ok = bench.Phase("scales page", seconds);
        if (ok) {
            bench.Form().actNumbers->trigger();
            ok = bench.Phase("numbers page", seconds);
        }
        if (ok) {
            bench.StartMonitoring(spanSeconds);
            ok = bench.Phase("charts page, monitoring on", seconds);
        }
    }
    for (const auto &shown : bench.Dialogs().messages)
        std::printf("message box: %s\n", qPrintable(QString(shown.text).replace(u'\r', u' ')));
    return ok ? 0 : 1;
}
