#pragma once

#include "compute/quantities.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

namespace kavro {

// Paces the pages' drawing of the readings: the instrument sends about 240
// readings a second, and drawing each on the gauges and panels was most of
// the program's work while the eye gains nothing above about ten changes a
// second. A quantity not shown for an interval is shown at once; further
// values within the interval wait, and the newest of them is shown when it
// ends. The values themselves (for the measurement, the chart, the report)
// are never held back, only their drawing, and only a value drawn is
// formatted.
class DisplayPacer : public QObject
{
public:
    static constexpr int IntervalMs = 100;

    using Show = std::function<void(int quantity, double value)>;

    explicit DisplayPacer(Show show, QObject *parent = nullptr);

    void Offer(int quantity, double value);
    // Shows every value still waiting now.
    void Flush();

private:
    struct Waiting
    {
        bool waiting = false;
        double value = 0;
    };

    void ShowNow(int quantity, double value);

    Show show_;
    QElapsedTimer clock_;
    std::array<qint64, QuantityCount> lastShownMs_ {};
    std::array<Waiting, QuantityCount> waiting_ {};
    QTimer timer_;
};

} // namespace kavro
