// The trend chart's kept columns: a chart that redraws while a run goes on
// gets from the cache exactly the points VisibleTrendPoints computes from
// all samples of the span, and the cache keeps no more columns than the
// span has.
#include "compute/trenddecimation.h"
#include "compute/trendseries.h"

#include <QTest>
#include <random>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

constexpr qint64 Start = 1'765'000'000'000; // ms since the epoch
constexpr int Series = 3;

// One run: samples every intervalMs (± jitterMs; the store keeps times from
// decreasing) for `samples` samples; a redraw every `redrawEvery` samples,
// of the span [newest - spanMs, newest] when it slides, else as the chart's
// time axis: it stands from the start (or the clear) until the span is full,
// then its right end follows the newest sample.
struct Run
{
    qint64 intervalMs;
    qint64 jitterMs;
    qint64 spanMs;
    int columns;
    bool sliding;
    int samples;
    int redrawEvery;
    qint64 pauseAtSample = -1; // a pause of 3 spans (monitoring paused)
    int clearAtSample = -1; // the chart is cleared
    int resizeAtSample = -1; // the plot becomes 1.5 times as wide
};

} // namespace

Q_DECLARE_METATYPE(Run)

class tst_TrendDecimationCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsAllSamples_data();
    void sameAsAllSamples();
};

void tst_TrendDecimationCache::sameAsAllSamples_data()
{
    QTest::addColumn<Run>("run");
    QTest::newRow("a 10-minute span fills at the line rate")
        << Run { 33, 0, 600'000, 700, false, 18'000, 6 };
    QTest::newRow("a minute's span slides, irregular samples")
        << Run { 33, 30, 60'000, 300, true, 12'000, 7 };
    QTest::newRow("bursts of equal times (clock set back), redraw each sample")
        << Run { 5, 20, 20'000, 100, true, 6'000, 1 };
    QTest::newRow("a pause longer than the span")
        << Run { 20, 5, 30'000, 200, true, 8'000, 5, 4'000 };
    QTest::newRow("cleared while filling")
        << Run { 10, 3, 60'000, 250, false, 12'000, 9, -1, 7'000 };
    QTest::newRow("resized while sliding")
        << Run { 10, 3, 20'000, 250, true, 12'000, 9, -1, -1, 6'000 };
}

void tst_TrendDecimationCache::sameAsAllSamples()
{
    QFETCH(Run, run);
    std::mt19937 random(7);
    std::uniform_int_distribution<qint64> jitter(-run.jitterMs, run.jitterMs);
    std::normal_distribution<double> noise(0, 1);

    TrendSeriesStore store(Series);
    std::array<TrendDecimationCache, Series> caches;
    qint64 time = Start;
    int columns = run.columns;
    qint64 spanStart = Start;
    int decimatedRedraws = 0;
    for (int i = 0; i < run.samples; ++i) {
        if (i == run.clearAtSample) {
            store.Clear();
            for (TrendDecimationCache &cache : caches)
                cache.Reset();
            spanStart = time;
        }
        if (i == run.resizeAtSample)
            columns = columns * 3 / 2;
        time += i == run.pauseAtSample ? 3 * run.spanMs : run.intervalMs + jitter(random);
        const double values[Series]
            = { 800 + 50 * noise(random), std::round(noise(random)), double(i % 17) };
        QVERIFY(store.Append(time, values));
        if ((i + 1) % run.redrawEvery != 0)
            continue;

        const qint64 newest = store.Time(store.Size() - 1);
        const qint64 to = run.sliding ? newest : std::max(spanStart + run.spanMs, newest);
        const qint64 from = to - run.spanMs;
        const TrendSeriesStore::IndexRange inside = store.Within(from, to);
        decimatedRedraws += inside.Count() > 2 * columns ? 1 : 0;
        for (int series = 0; series < Series; ++series) {
            const QList<QPointF> expected = VisibleTrendPoints(store, series, from, to, columns);
            const QList<QPointF> points
                = caches[std::size_t(series)].VisiblePoints(store, series, from, to, columns);
            QVERIFY2(points == expected,
                qPrintable(u"sample %1, series %2: %3 points, expected %4"_s.arg(i)
                               .arg(series)
                               .arg(points.size())
                               .arg(expected.size())));
            QVERIFY2(caches[std::size_t(series)].KeptColumns() <= columns + run.redrawEvery + 2,
                qPrintable(u"%1 columns kept"_s.arg(caches[std::size_t(series)].KeptColumns())));
        }
    }
    QVERIFY(decimatedRedraws > 100);
}

QTEST_GUILESS_MAIN(tst_TrendDecimationCache)
#include "tst_trenddecimationcache.moc"
