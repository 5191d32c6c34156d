// Proves that the constant curves and tables were transcribed correctly: by
// the values they must give, their shape, and fingerprints of the published
// listings computed apart from this code.
#include "compute/constanttables.h"
#include "compute/conversions.h"

#include <QTest>

#include <numeric>

using namespace kavro;

Q_DECLARE_METATYPE(const PackedCurve *)
Q_DECLARE_METATYPE(const TZeroGainTable *)

namespace {

template<typename Table>
qint64 Sum(const Table &table)
{
    return std::accumulate(table.begin(), table.end(), qint64 { 0 });
}

template<typename Table>
qint64 IndexWeightedSum(const Table &table)
{
    qint64 sum = 0;
    for (std::size_t i = 0; i < table.size(); ++i)
        sum += static_cast<qint64>(i) * table[i];
    return sum;
}

} // namespace

class TestConstantTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void curveValues_data();
    void curveValues();
    void validCodes_data();
    void validCodes();
    void segmentWithoutBaseIsInvalid();
    void oddCodesLieOneAboveTheEvenCodeBelow();
    void segmentsJoinTheirBases();
    void fingerprints_data();
    void fingerprints();
    void zeroGainTables_data();
    void zeroGainTables();
    void co2ThresholdsAscend();
};

void TestConstantTables::curveValues_data()
{
    QTest::addColumn<const PackedCurve *>("curve");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("value");

    const int chCodes[] = { 0, 1, 2, 4, 100, 511, 512, 1000, 3007 };
    const int chValues[] = { 0, 1, 2, 3, 78, 419, 422, 858, 3296 };
    for (std::size_t i = 0; i < std::size(chCodes); ++i)
        QTest::addRow("CH %d", chCodes[i]) << &ChCurve << chCodes[i] << chValues[i];
    const int coCodes[] = { 0, 1, 2, 100, 511, 512, 1000, 1663 };
    const int coValues[] = { 0, 1, 0, 10, 114, 113, 367, 941 };
    for (std::size_t i = 0; i < std::size(coCodes); ++i)
        QTest::addRow("CO %d", coCodes[i]) << &CoCurve << coCodes[i] << coValues[i];

    // The last even code of each segment sums all of its increments.
    const int chSegmentEnds[] = { 418, 877, 1395, 2026, 2696 };
    for (int s = 0; s < 5; ++s)
        QTest::addRow("CH end of segment %d", s) << &ChCurve << 512 * s + 510 << chSegmentEnds[s];
    const int coSegmentEnds[] = { 113, 382, 808 };
    for (int s = 0; s < 3; ++s)
        QTest::addRow("CO end of segment %d", s) << &CoCurve << 512 * s + 510 << coSegmentEnds[s];
}

void TestConstantTables::curveValues()
{
    QFETCH(const PackedCurve *, curve);
    QFETCH(int, code);
    QFETCH(int, value);
    QCOMPARE(CurveValue(*curve, code), value);
}

void TestConstantTables::validCodes_data()
{
    QTest::addColumn<const PackedCurve *>("curve");
    QTest::addColumn<int>("lastValidCode");

    QTest::newRow("CH") << &ChCurve << 3007;
    QTest::newRow("CO") << &CoCurve << 1663;
}

void TestConstantTables::validCodes()
{
    QFETCH(const PackedCurve *, curve);
    QFETCH(int, lastValidCode);

    for (int code = 0; code <= lastValidCode; ++code)
        QVERIFY2(CurveValue(*curve, code) != InvalidValue, qPrintable(QString::number(code)));
    QCOMPARE(CurveValue(*curve, lastValidCode + 1), InvalidValue);
    QCOMPARE(CurveValue(*curve, 4095), InvalidValue);
    QCOMPARE(CurveValue(*curve, -1), InvalidValue);
    QCOMPARE(CurveValue(*curve, std::int64_t { 1 } << 40), InvalidValue);
}

void TestConstantTables::segmentWithoutBaseIsInvalid()
{
    // A curve whose bytes run past its bases has no value there.
    const PackedCurve shortOfBases { ChCurve.Increments.first(128), ChCurve.Bases.first(1) };
    QCOMPARE(CurveValue(shortOfBases, 511), 419);
    QCOMPARE(CurveValue(shortOfBases, 512), InvalidValue);
}

void TestConstantTables::oddCodesLieOneAboveTheEvenCodeBelow()
{
    for (const auto &[curve, lastCode] :
        { std::pair { &ChCurve, 3007 }, std::pair { &CoCurve, 1663 } }) {
        for (int code = 0; code < lastCode; code += 2)
            QCOMPARE(CurveValue(*curve, code + 1), CurveValue(*curve, code) + 1);
    }
}

void TestConstantTables::segmentsJoinTheirBases()
{
    // A wrong base or a lost byte would make the curve jump at a segment border.
    for (const PackedCurve *curve : { &ChCurve, &CoCurve }) {
        for (std::size_t s = 1; s < curve->Bases.size(); ++s) {
            const int border = 512 * static_cast<int>(s);
            const int step = CurveValue(*curve, border) - CurveValue(*curve, border - 1);
            QVERIFY2(step >= -1 && step <= 3, qPrintable(QString::number(border)));
        }
    }
}

void TestConstantTables::fingerprints_data()
{
    QTest::addColumn<qint64>("sum");
    QTest::addColumn<qint64>("expectedSum");
    QTest::addColumn<qint64>("weightedSum");
    QTest::addColumn<qint64>("expectedWeightedSum");

    // Expected figures: computed by a separate script from the published
    // listings; the index-weighted sum also catches swapped entries.
    QTest::newRow("ChCurve") << Sum(ChCurve.Increments) << qint64 { 70399 }
                             << IndexWeightedSum(ChCurve.Increments) << qint64 { 14627447 };
    QTest::newRow("CoCurve") << Sum(CoCurve.Increments) << qint64 { 20027 }
                             << IndexWeightedSum(CoCurve.Increments) << qint64 { 2675215 };
    QTest::newRow("ChZeroGain") << Sum(ChZeroGain) << qint64 { 6298938 }
                                << IndexWeightedSum(ChZeroGain) << qint64 { 581471404 };
    QTest::newRow("CoZeroGain") << Sum(CoZeroGain) << qint64 { 7861471 }
                                << IndexWeightedSum(CoZeroGain) << qint64 { 783346181 };
    QTest::newRow("Co2Thresholds") << Sum(Co2Thresholds) << qint64 { 290006 }
                                   << IndexWeightedSum(Co2Thresholds) << qint64 { 28480478 };
}

void TestConstantTables::fingerprints()
{
    QFETCH(qint64, sum);
    QFETCH(qint64, expectedSum);
    QFETCH(qint64, weightedSum);
    QFETCH(qint64, expectedWeightedSum);
    QCOMPARE(sum, expectedSum);
    QCOMPARE(weightedSum, expectedWeightedSum);
}

void TestConstantTables::zeroGainTables_data()
{
    QTest::addColumn<const TZeroGainTable *>("table");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("smallStep");

    QTest::newRow("ChZeroGain") << &ChZeroGain << 31731 << 38257 << 36;
    QTest::newRow("CoZeroGain") << &CoZeroGain << 28989 << 58361 << 164;
}

void TestConstantTables::zeroGainTables()
{
    QFETCH(const TZeroGainTable *, table);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, smallStep);

    QCOMPARE(table->size(), std::size_t { 180 });
    QCOMPARE(table->front(), first);
    QCOMPARE(table->back(), last);
    for (std::size_t i = 1; i < table->size(); ++i) {
        const int step = (*table)[i] - (*table)[i - 1];
        QVERIFY2(step == smallStep || step == smallStep + 1,
            qPrintable(QStringLiteral("entry %1 rises by %2").arg(i).arg(step)));
    }
}

void TestConstantTables::co2ThresholdsAscend()
{
    QCOMPARE(Co2Thresholds.size(), std::size_t { 171 });
    QCOMPARE(Co2Thresholds.front(), 0);
    QCOMPARE(Co2Thresholds.back(), 2145);
    for (std::size_t i = 1; i < Co2Thresholds.size(); ++i)
        QVERIFY2(Co2Thresholds[i] > Co2Thresholds[i - 1], qPrintable(QString::number(i)));
}

QTEST_GUILESS_MAIN(TestConstantTables)
#include "tst_constanttables.moc"
