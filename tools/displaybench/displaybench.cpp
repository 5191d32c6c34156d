// displaybench [SECONDS]: the cost of the live display. Feeds the real main
// window (offscreen platform, scales page, an M1 with a three-component
// converter registered) the readings of SECONDS of stream (default 60) at
// the line rate, 960 bytes/s = 240 readings/s over channels 0 to 7, as fast
// as it can, and prints the CPU time per second of stream in four ways:
//   dispatch only   readings converted while the empty page is shown
//   no painting     ShowValue with everything it moves for every reading,
//                   nothing painted
//   paint per batch the program's pace: readings come in 50 ms batches (12
//                   readings), as the port's polling delivers them, and the
//                   pages draw what has come every 100 ms of stream
//   paint each      every reading drawn and painted at once (worst case)
// The pages' pacing runs on the real clock, which this run outpaces, so the
// runs release the readings waiting to be drawn themselves (FlushDisplay).
// and the time of one ShowValue with its repaint (median, 99th percentile,
// maximum). The widgets painted are counted to show that each run paints.

#include "compute/calibration.h"
#include "compute/numberformat.h"
#include "compute/readingdispatch.h"
#include "platform/appenvironment.h"
#include "protocol/receiverdata.h"
#include "ui/mainform.h"
#include "ui/qtuserdialogs.h"

#include <QApplication>
#include <QLocale>
#include <QStackedWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

constexpr int ReadingsPerSecond = 960 / 4; // four bytes per reading
constexpr int LiveChannels = 8;
constexpr int ReadingsPerBatch = ReadingsPerSecond / 20; // polled every 50 ms
constexpr int BatchesPerDrawing = 2; // the pages draw every 100 ms

double CpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double WallSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// A serviced instrument's calibration words (those the simulator sends).
Calibration ServicedCalibration()
{
    Calibration calibration;
    calibration.ChScale = 54740;
    calibration.CoScale = 29456;
    calibration.Co2Scale = 35200;
    calibration.O2Scale = 35328;
    calibration.RpmTrim = 130;
    calibration.RpmScale = 32000;
    calibration.TempScale = 22400;
    calibration.CompScale = 32768;
    calibration.RpmMinimum = 200;
    calibration.ChCompCoefficient = 1500;
    calibration.CoCompCoefficient = 1800;
    calibration.Co2CompCoefficient = -2400;
    return calibration;
}

struct Reading
{
    int Channel;
    int Raw;
};

// The raw reading of channel that converts closest to target, the other
// channels at raw.
int RawFor(const ReceiverData &receiver, TRawReadings raw, int channel, double target)
{
    int best = 0;
    double bestDistance = 1e300;
    for (int candidate = 0; candidate < 4096; ++candidate) {
        raw[std::size_t(channel)] = candidate;
        const auto converted = ConvertReading(receiver, raw, channel);
        if (!converted)
            return 0;
        const double distance = std::abs(converted->Value - target);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

// A warm engine at minimum idle behind a three-component converter, with
// a few counts of sensor noise on every reading.
std::vector<Reading> IdleStream(const ReceiverData &receiver, int seconds)
{
    TRawReadings raw {};
    raw[4] = 2440; // compensation reading at which nothing is corrected
    raw[5] = 1800;
    const std::pair<int, double> targets[] = {
        { 0, 14.6 }, // CO2, %
        { 1, 0.25 }, // CO, %
        { 2, 0.4 }, // O2, %
        { 3, 45 }, // CH, ppm
        { 6, 820 }, // engine speed
        { 7, 85 }, // temperature
    };
    for (const auto &[channel, target] : targets)
        raw[std::size_t(channel)] = RawFor(receiver, raw, channel, target);

    std::mt19937 random(1);
    std::uniform_int_distribution<int> noise(-3, 3);
    std::vector<Reading> stream;
    stream.reserve(std::size_t(seconds) * ReadingsPerSecond);
    for (int i = 0; i < seconds * ReadingsPerSecond; ++i) {
        const int channel = i % LiveChannels;
        const int value = raw[std::size_t(channel)] + noise(random);
        stream.push_back({ channel, std::clamp(value, 0, 4095) });
    }
    return stream;
}

enum class Painting { None, PerBatch, PerReading };

// Counts the widgets painted, to show that the runs do paint.
class PaintCounter : public QObject
{
public:
    long Count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Count;
        return QObject::eventFilter(watched, event);
    }
};

struct RunResult
{
    double cpu = 0;
    double wall = 0;
    long paints = 0;
    std::vector<double> perReadingMs;
};

RunResult Run(TMainForm &form, const std::vector<Reading> &stream, Painting painting)
{
    RunResult result;
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    if (painting == Painting::PerReading)
        result.perReadingMs.reserve(stream.size());
    QCoreApplication::processEvents(); // start from a painted window
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    for (std::size_t i = 0; i < stream.size(); ++i) {
        const double readingStart = painting == Painting::PerReading ? WallSeconds() : 0;
        form.ChannelReading(stream[i].Channel, stream[i].Raw);
        if (painting == Painting::None) {
            form.FlushDisplay();
        } else if (painting == Painting::PerReading) {
            form.FlushDisplay();
            QCoreApplication::processEvents();
            result.perReadingMs.push_back((WallSeconds() - readingStart) * 1000);
        } else if ((i + 1) % (ReadingsPerBatch * BatchesPerDrawing) == 0) {
            form.FlushDisplay();
            QCoreApplication::processEvents();
        } else if ((i + 1) % ReadingsPerBatch == 0) {
            QCoreApplication::processEvents();
        }
    }
    QCoreApplication::processEvents();
    result.cpu = CpuSeconds() - cpuStart;
    result.wall = WallSeconds() - wallStart;
    qApp->removeEventFilter(&counter);
    result.paints = counter.Count;
    return result;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(fraction * double(values.size())))];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    ReceiverData receiver;
    WriteCalibration(ServicedCalibration(), receiver.InstrumentImage);
    receiver.BlockReceived = true;
    receiver.ZeroReadings[1] = 310; // CO
    receiver.ZeroReadings[3] = 280; // CH
    const std::vector<Reading> stream = IdleStream(receiver, seconds);

    QtUserDialogs dialogs;
    SystemEnvironment environment;
    TMainForm form(receiver, dialogs, environment);
    form.show();
    QCoreApplication::processEvents();

    const RunResult dispatchOnly = Run(form, stream, Painting::None); // empty page
    form.ApplyVehicleCategory(32 + 16); // M1, three-component
    form.RedrawGauges();
    form.VehicleRegistered(u"А123ВС77"_s);
    const RunResult noPainting = Run(form, stream, Painting::None);
    const RunResult perBatch = Run(form, stream, Painting::PerBatch);
    const RunResult perReading = Run(form, stream, Painting::PerReading);

    std::printf("displaybench: %d s of stream, %zu readings (%d/s), window %dx%d, page %d\n",
        seconds, stream.size(), ReadingsPerSecond, form.width(), form.height(),
        form.ShownPageIndex());
    std::printf("shown:");
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        std::printf(" %s", qPrintable(FormatQuantity(quantity, form.CurrentValue(quantity))));
    std::printf(" (CO, CH, CO2, O2, lambda, rpm, C)\n");
    std::printf("%-44s %10s %10s %14s\n", "", "CPU ms/s", "wall ms/s", "widgets painted");
    const auto row = [seconds](const char *name, const RunResult &result) {
        std::printf("%-44s %10.2f %10.2f %14ld\n", name, result.cpu * 1000 / seconds,
            result.wall * 1000 / seconds, result.paints);
    };
    row("dispatch only (empty page)", dispatchOnly);
    row("ShowValue, nothing painted", noPainting);
    row("50 ms batches, drawn every 100 ms (program)", perBatch);
    row("painted after every reading (worst case)", perReading);
    std::printf("painting: %.0f%% of the worst case's CPU time (the rest: ShowValue %.0f%%, "
                "conversions %.0f%%)\n",
        100 * (perReading.cpu - noPainting.cpu) / perReading.cpu,
        100 * (noPainting.cpu - dispatchOnly.cpu) / perReading.cpu,
        100 * dispatchOnly.cpu / perReading.cpu);
    std::printf("one reading with ShowValue and its repaint: median %.3f ms, 99%% %.3f ms, max "
                "%.3f ms\n",
        Percentile(perReading.perReadingMs, 0.5), Percentile(perReading.perReadingMs, 0.99),
        Percentile(perReading.perReadingMs, 1.0));
    return 0;
}
