// The trend chart's data without widgets: the store of a run, the points of
// a visible span, the proposed picture name.
#include "compute/chartpicturename.h"
#include "compute/trenddecimation.h"
#include "compute/trendseries.h"

#include <QTest>
#include <algorithm>
#include <memory_resource>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

constexpr qsizetype Chunk = TrendSeriesStore::ChunkSamples;

// Hands out memory until a number of allocations has been made, then
// refuses, as a full memory would.
class RefusingMemory : public std::pmr::memory_resource
{
public:
    int allowed = 0;

private:
    void *do_allocate(std::size_t bytes, std::size_t alignment) override
    {
        if (allowed <= 0)
            throw std::bad_alloc();
        --allowed;
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    void do_deallocate(void *pointer, std::size_t bytes, std::size_t alignment) override
    {
        std::pmr::new_delete_resource()->deallocate(pointer, bytes, alignment);
    }
    bool do_is_equal(const memory_resource &other) const noexcept override
    {
        return this == &other;
    }
};

// Sample i of a two-series store: time 10 * i ms, values i and -i.
void FillTwoSeries(TrendSeriesStore &store, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const double values[] = { double(i), -double(i) };
        QVERIFY(store.Append(10 * i, values));
    }
}

} // namespace

class tst_TrendSeries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesKeptAcrossChunks();
    void within_data();
    void within();
    void timeSetBackStaysAtLastTime();
    void failedGrowthEmptiesAndRecordingGoesOn();
    void memoryPerPoint();
    void visiblePoints_data();
    void visiblePoints();
    void pictureFileName_data();
    void pictureFileName();
};

void tst_TrendSeries::samplesKeptAcrossChunks()
{
    TrendSeriesStore store(2);
    FillTwoSeries(store, 3 * Chunk + 5);
    QCOMPARE(store.Size(), 3 * Chunk + 5);
    for (qsizetype i : { qsizetype(0), Chunk - 1, Chunk, 2 * Chunk + 7, 3 * Chunk + 4 }) {
        QCOMPARE(store.Time(i), 10 * i);
        QCOMPARE(store.Value(0, i), double(i));
        QCOMPARE(store.Value(1, i), -double(i));
    }
    const double wrongCount[] = { 1, 2, 3 };
    QVERIFY(!store.Append(0, wrongCount));
    QCOMPARE(store.Size(), 3 * Chunk + 5);
    store.Clear();
    QCOMPARE(store.Size(), 0);
    QCOMPARE(store.AllocatedBytes(), 0);
}

void tst_TrendSeries::within_data()
{
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<qsizetype>("first");
    QTest::addColumn<qsizetype>("last");
    const QList<qint64> few { 100, 200, 200, 200, 300, 400 };
    const auto row
        = [](const char *name, const QList<qint64> &times, qint64 from, qint64 to, qsizetype first,
              qsizetype last) { QTest::newRow(name) << times << from << to << first << last; };
    row("inner span", few, 150, 350, 1, 5);
    row("ends on equal times", few, 200, 200, 1, 4);
    row("everything", few, 0, 1000, 0, 6);
    row("before the first", few, 0, 99, 0, 0);
    row("after the last", few, 401, 500, 6, 6);
    row("between samples", few, 310, 390, 5, 5);
    row("reversed span", few, 300, 200, 0, 0);
    row("empty store", {}, 0, 10, 0, 0);
    QList<qint64> many;
    for (qint64 i = 0; i < 2 * Chunk + 3; ++i)
        many << 10 * i;
    row("across a chunk border", many, 10 * (Chunk - 2), 10 * (Chunk + 1), Chunk - 2, Chunk + 2);
}

void tst_TrendSeries::within()
{
    QFETCH(QList<qint64>, times);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    TrendSeriesStore store(1);
    for (qint64 time : times) {
        const double value[] = { 0 };
        QVERIFY(store.Append(time, value));
    }
    const TrendSeriesStore::IndexRange range = store.Within(from, to);
    QTEST(range.first, "first");
    QTEST(range.last, "last");
}

void tst_TrendSeries::timeSetBackStaysAtLastTime()
{
    TrendSeriesStore store(1);
    const double value[] = { 1 };
    for (qint64 time : { 1000, 2000, 1500, 2500 })
        QVERIFY(store.Append(time, value));
    QCOMPARE(QList<qint64>({ store.Time(0), store.Time(1), store.Time(2), store.Time(3) }),
        QList<qint64>({ 1000, 2000, 2000, 2500 }));
}

void tst_TrendSeries::failedGrowthEmptiesAndRecordingGoesOn()
{
    RefusingMemory memory;
    memory.allowed = 4; // the chunk list and three chunks at most
    TrendSeriesStore store(2, &memory);
    qsizetype appended = 0;
    for (; appended < 10 * Chunk; ++appended) {
        const double values[] = { 1, 2 };
        if (!store.Append(appended, values))
            break;
    }
    QVERIFY2(appended > 0 && appended < 10 * Chunk, "growth never failed");
    QCOMPARE(store.Size(), 0);
    QCOMPARE(store.AllocatedBytes(), 0);

    memory.allowed = 2;
    const double values[] = { 3, 4 };
    QVERIFY(store.Append(77, values));
    QCOMPARE(store.Size(), 1);
    QCOMPARE(store.Time(0), 77);
    QCOMPARE(store.Value(1, 0), 4.0);
}

void tst_TrendSeries::memoryPerPoint()
{
    constexpr qsizetype Samples = 100'000;
    TrendSeriesStore store(5);
    const double values[] = { 1, 2, 3, 4, 5 };
    for (qsizetype i = 0; i < Samples; ++i)
        QVERIFY(store.Append(i, values));
    const double bytesPerPoint = double(store.AllocatedBytes()) / double(Samples * 5);
    QVERIFY2(
        bytesPerPoint >= 9.6 && bytesPerPoint <= 11, qPrintable(QString::number(bytesPerPoint)));
}

void tst_TrendSeries::visiblePoints_data()
{
    QTest::addColumn<qsizetype>("samples"); // times 10 * i, values i and -i
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<QPointF>>("expected"); // of series 1

    QTest::newRow("few points: all, with a neighbour on each side")
        << qsizetype(10) << qint64(25) << qint64(55) << 100
        << QList<QPointF> { { 20, -2 }, { 30, -3 }, { 40, -4 }, { 50, -5 }, { 60, -6 } };
    QTest::newRow("no neighbour before the first sample") << qsizetype(
        3) << qint64(0) << qint64(15) << 100 << QList<QPointF> { { 0, 0 }, { 10, -1 }, { 20, -2 } };
    QTest::newRow("a span after the last sample keeps it as the left neighbour")
        << qsizetype(3) << qint64(100) << qint64(200) << 100 << QList<QPointF> { { 20, -2 } };
    // 0 ... 990 ms in 5 columns of 200 ms: the highest (earliest) and the lowest
    // (latest) sample of each column.
    QTest::newRow("many points: the extremes of each column")
        << qsizetype(100) << qint64(0) << qint64(1000) << 5
        << QList<QPointF> { { 0, 0 }, { 190, -19 }, { 200, -20 }, { 390, -39 }, { 400, -40 },
               { 590, -59 }, { 600, -60 }, { 790, -79 }, { 800, -80 }, { 990, -99 } };
}

void tst_TrendSeries::visiblePoints()
{
    QFETCH(qsizetype, samples);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, columns);
    TrendSeriesStore store(2);
    FillTwoSeries(store, samples);
    QTEST(VisibleTrendPoints(store, 1, from, to, columns), "expected");
}

void tst_TrendSeries::pictureFileName_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("Latin capitals lowered") << u"AB123"_s << u"ab123.bmp"_s;
    QTest::newRow("Cyrillic capitals kept") << u"А123ВС77"_s << u"А123ВС77.bmp"_s;
    QTest::newRow("mixed") << u"Ак 12 X"_s << u"Ак 12 x.bmp"_s;
    QTest::newRow("separators made safe") << u"AB/12\\3"_s << u"ab_12_3.bmp"_s;
    QTest::newRow("every unsafe character") << u"a:b*c?d\"e<f>g|h"_s << u"a_b_c_d_e_f_g_h.bmp"_s;
    QTest::newRow("control characters") << u"A\tB\u007F"_s << u"a_b_.bmp"_s;
}

void tst_TrendSeries::pictureFileName()
{
    QFETCH(QString, number);
    QTEST(ChartPictureFileName(number), "name");
}

QTEST_GUILESS_MAIN(tst_TrendSeries)
#include "tst_trendseries.moc"
