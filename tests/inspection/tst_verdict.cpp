// The pass/fail verdict from the readings after adjustment and the limits of
// the vehicle's category, and the optional verdict tags of the report.

#include "inspection/reportfilling.h"
#include "inspection/reporttemplate.h"
#include "inspection/verdict.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

using Phases = MeasurementResults::PhaseValues;

// The limits the gauges take for a category.
VerdictLimits LimitsOf(int code)
{
    const GaugeScales scales = ScalesForCategory(code, {});
    return { scales[qnCO], scales[qnCH], scales[qnEngineSpeed] };
}

// Readings after adjustment: at minimum idle CO, CH and speed, at increased
// idle CO, CH, λ and speed; the other quantities plausible.
Phases Readings(double coMin, double chMin, double speedMin, double coInc, double chInc,
    double lambda, double speedInc)
{
    Phases readings {};
    readings[MinimumIdle] = { coMin, chMin, 14.5, 0.5, 1.0, speedMin, 85 };
    readings[IncreasedIdle] = { coInc, chInc, 14.6, 0.6, lambda, speedInc, 86 };
    return readings;
}

} // namespace

class tst_Verdict : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void limitRows_data();
    void limitRows();
    void boundaries_data();
    void boundaries();
    void verdictLine();
    void reportTags_data();
    void reportTags();
};

void tst_Verdict::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_Verdict::limitRows_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("coLow");
    QTest::addColumn<double>("coHigh");
    QTest::addColumn<double>("chLow");
    QTest::addColumn<double>("chHigh");
    QTest::addColumn<int>("speedLow");
    QTest::addColumn<int>("speedHigh");
    QTest::addColumn<QStringList>("overLimits"); // every gas one step above its limit

    // One row per row of the limits table: every gas at its limit passes,
    // one step of the printed value above it fails, with these reasons.
    QTest::newRow("made before 01.10.1986")
        << 0 << 4.5 << 4.5 << 600.0 << 600.0 << 900 << 900
        << QStringList {
               u"CO на минимальных оборотах 4,51 % > 4,50 %"_s,
               u"CH на минимальных оборотах 601 ppm > 600 ppm"_s,
               u"CO на повышенных оборотах 4,51 % > 4,50 %"_s,
               u"CH на повышенных оборотах 601 ppm > 600 ppm"_s,
           };
    QTest::newRow("M1, none") << 32 << 2.0 << 3.5 << 600.0 << 1200.0 << 1100 << 2500
                              << QStringList { u"CO на минимальных оборотах 2,01 % > 2,00 %"_s,
                                     u"CH на минимальных оборотах 601 ppm > 600 ppm"_s,
                                     u"CO на повышенных оборотах 3,51 % > 3,50 %"_s,
                                     u"CH на повышенных оборотах 1201 ppm > 1200 ppm"_s };
    QTest::newRow("N1, two-component")
        << 36 + 8 << 0.6 << 1.0 << 200.0 << 400.0 << 1100 << 2000
        << QStringList { u"CO на минимальных оборотах 0,61 % > 0,60 %"_s,
               u"CH на минимальных оборотах 201 ppm > 200 ppm"_s,
               u"CO на повышенных оборотах 1,01 % > 1,00 %"_s,
               u"CH на повышенных оборотах 401 ppm > 400 ppm"_s };
    QTest::newRow("M1, three-component")
        << 32 + 16 << 0.3 << 0.5 << 100.0 << 100.0 << 1100 << 2000
        << QStringList { u"CO на минимальных оборотах 0,31 % > 0,30 %"_s,
               u"CH на минимальных оборотах 101 ppm > 100 ppm"_s,
               u"CO на повышенных оборотах 0,51 % > 0,50 %"_s,
               u"CH на повышенных оборотах 101 ppm > 100 ppm"_s };
    QTest::newRow("M3, none") << 34 << 2.0 << 3.5 << 1000.0 << 2500.0 << 900 << 2000
                              << QStringList { u"CO на минимальных оборотах 2,01 % > 2,00 %"_s,
                                     u"CH на минимальных оборотах 1001 ppm > 1000 ppm"_s,
                                     u"CO на повышенных оборотах 3,51 % > 3,50 %"_s,
                                     u"CH на повышенных оборотах 2501 ppm > 2500 ppm"_s };
    QTest::newRow("N2, two-component")
        << 37 + 8 << 3.5 << 3.5 << 250.0 << 1200.0 << 900 << 2000
        << QStringList { u"CO на минимальных оборотах 3,51 % > 3,50 %"_s,
               u"CH на минимальных оборотах 251 ppm > 250 ppm"_s,
               u"CO на повышенных оборотах 3,51 % > 3,50 %"_s,
               u"CH на повышенных оборотах 1201 ppm > 1200 ppm"_s };
    QTest::newRow("N3, three-component")
        << 38 + 16 << 0.3 << 0.3 << 200.0 << 200.0 << 900 << 2000
        << QStringList { u"CO на минимальных оборотах 0,31 % > 0,30 %"_s,
               u"CH на минимальных оборотах 201 ppm > 200 ppm"_s,
               u"CO на повышенных оборотах 0,31 % > 0,30 %"_s,
               u"CH на повышенных оборотах 201 ppm > 200 ppm"_s };
}

void tst_Verdict::limitRows()
{
    QFETCH(int, code);
    QFETCH(double, coLow);
    QFETCH(double, coHigh);
    QFETCH(double, chLow);
    QFETCH(double, chHigh);
    QFETCH(int, speedLow);
    QFETCH(int, speedHigh);
    QFETCH(QStringList, overLimits);

    const VerdictLimits limits = LimitsOf(code);
    // The category's limits are the ones named in the reasons.
    QCOMPARE(limits.co.LowLimit, coLow);
    QCOMPARE(limits.ch.HighLimit, chHigh);

    // Everything at its limit, engine speeds at the ends of their ranges.
    const InspectionVerdict atLimits = DecideVerdict(
        code, Readings(coLow, chLow, speedLow, coHigh, chHigh, 1.0, speedHigh), limits);
    QCOMPARE(atLimits, (InspectionVerdict { true, u"соответствует"_s, {} }));
    const InspectionVerdict atOtherEnds
        = DecideVerdict(code, Readings(0, 0, 100, 0, 0, 1.0, 9999), limits);
    QVERIFY2(atOtherEnds.passed && atOtherEnds.reasons.isEmpty(),
        qPrintable(atOtherEnds.reasons.join(u'\n')));

    const InspectionVerdict over = DecideVerdict(code,
        Readings(coLow + 0.01, chLow + 1, speedLow, coHigh + 0.01, chHigh + 1, 1.0, speedHigh),
        limits);
    QCOMPARE(over, (InspectionVerdict { false, u"не соответствует"_s, overLimits }));
}

void tst_Verdict::boundaries_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<Phases>("readings");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QStringList>("reasons");

    const int m1Three = 32 + 16; // CO 0,30/0,50, CH 100/100, speed 100-1100 and 2000-9999
    const int m1Two = 32 + 8;
    const int before1986 = 0;
    const QStringList none;
    QTest::newRow("λ 0,97 passes")
        << m1Three << Readings(0.3, 100, 800, 0.5, 100, 0.97, 2500) << true << none;
    QTest::newRow("λ 1,03 passes")
        << m1Three << Readings(0.3, 100, 800, 0.5, 100, 1.03, 2500) << true << none;
    QTest::newRow("λ 0,96 fails") << m1Three << Readings(0.3, 100, 800, 0.5, 100, 0.96, 2500)
                                  << false
                                  << QStringList { u"λ на повышенных оборотах 0,96 < 0,97"_s };
    QTest::newRow("λ 1,04 fails") << m1Three << Readings(0.3, 100, 800, 0.5, 100, 1.04, 2500)
                                  << false
                                  << QStringList { u"λ на повышенных оборотах 1,04 > 1,03"_s };
    QTest::newRow("λ 1,034 is printed 1,03 and passes")
        << m1Three << Readings(0.3, 100, 800, 0.5, 100, 1.034, 2500) << true << none;
    QTest::newRow("λ not judged with two-component after-treatment")
        << m1Two << Readings(0.6, 200, 800, 1.0, 400, 1.5, 2500) << true << none;
    QTest::newRow("λ not judged before 01.10.1986 whatever the field")
        << 16 << Readings(4.5, 600, 800, 4.5, 600, 1.5, 2500) << true << none;
    QTest::newRow("CO 0,3049 is printed 0,30 and passes")
        << m1Three << Readings(0.3049, 100, 800, 0.5, 100, 1.0, 2500) << true << none;
    QTest::newRow("CO 0,306 is printed 0,31 and fails")
        << m1Three << Readings(0.306, 100, 800, 0.5, 100, 1.0, 2500) << false
        << QStringList { u"CO на минимальных оборотах 0,31 % > 0,30 %"_s };
    QTest::newRow("CH 100,4 is printed 100 and passes")
        << m1Three << Readings(0.3, 100.4, 800, 0.5, 100.4, 1.0, 2500) << true << none;
    QTest::newRow("speeds outside the ranges are noted, the vehicle passes")
        << m1Three << Readings(0.3, 100, 1101, 0.5, 100, 1.0, 1999) << true
        << QStringList {
               u"обороты вне диапазона на минимальных оборотах: 1101 об/мин, требуется 100-1100 об/мин"_s,
               u"обороты вне диапазона на повышенных оборотах: 1999 об/мин, требуется 2000-9999 об/мин"_s,
           };
    QTest::newRow("speed 99 at minimum idle")
        << m1Three << Readings(0.3, 100, 99, 0.5, 100, 1.0, 2000) << true
        << QStringList {
               u"обороты вне диапазона на минимальных оборотах: 99 об/мин, требуется 100-1100 об/мин"_s
           };
    QTest::newRow("a failure comes before a speed note")
        << m1Three << Readings(0.3, 100, 50, 0.8, 100, 1.0, 2000) << false
        << QStringList {
               u"CO на повышенных оборотах 0,80 % > 0,50 %"_s,
               u"обороты вне диапазона на минимальных оборотах: 50 об/мин, требуется 100-1100 об/мин"_s
           };
    QTest::newRow("before 1986: 900 rpm is the end of both ranges")
        << before1986 << Readings(4.5, 600, 900, 4.5, 600, 0.5, 900) << true << none;
    QTest::newRow("before 1986: 901 and 899 rpm are outside")
        << before1986 << Readings(4.5, 600, 901, 4.5, 600, 0.5, 899) << true
        << QStringList {
               u"обороты вне диапазона на минимальных оборотах: 901 об/мин, требуется 100-900 об/мин"_s,
               u"обороты вне диапазона на повышенных оборотах: 899 об/мин, требуется 900-9999 об/мин"_s,
           };
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("a value that is not a number fails")
        << m1Three << Readings(nan, 100, nan, 0.5, 100, nan, 2000) << false
        << QStringList {
               u"CO на минимальных оборотах не измерен"_s, u"λ на повышенных оборотах не измерен"_s,
               u"обороты вне диапазона на минимальных оборотах: не измерены, требуется 100-1100 об/мин"_s
           };
}

void tst_Verdict::boundaries()
{
    QFETCH(int, code);
    QFETCH(Phases, readings);
    QFETCH(bool, passed);
    QFETCH(QStringList, reasons);

    const InspectionVerdict verdict = DecideVerdict(code, readings, LimitsOf(code));
    QCOMPARE(verdict.reasons, reasons);
    QCOMPARE(verdict.passed, passed);
    QCOMPARE(verdict.text, passed ? u"соответствует"_s : u"не соответствует"_s);
}

void tst_Verdict::verdictLine()
{
    const InspectionVerdict failed { false, u"не соответствует"_s,
        { u"CO на минимальных оборотах 0,80 % > 0,30 %"_s,
            u"CH на минимальных оборотах 250 ppm > 200 ppm"_s } };
    QCOMPARE(failed.Line(), u"Не соответствует: CO на минимальных оборотах 0,80 % > 0,30 %"_s);
    QCOMPARE(failed.ReasonsText(),
        u"CO на минимальных оборотах 0,80 % > 0,30 %; CH на минимальных оборотах 250 ppm > 200 ppm"_s);
    const InspectionVerdict passed { true, u"соответствует"_s, {} };
    QCOMPARE(passed.Line(), u"Соответствует"_s);
    QCOMPARE(passed.ReasonsText(), u" - "_s);
}

void tst_Verdict::reportTags_data()
{
    QTest::addColumn<QByteArray>("from"); // in the standard template
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("lastLine"); // underscores shortened

    QTest::newRow("standard template: unchanged")
        << QByteArray() << QByteArray() << u"Примечания: ____"_s;
    // "Примечания:" becomes the verdict line; both tags twice, in other case too.
    QTest::newRow("both tags")
        << QByteArray("\\'cf\\'f0\\'e8\\'ec\\'e5\\'f7\\'e0\\'ed\\'e8\\'ff:")
        << QByteArray("#{\\b verdict}# (#reasons#), #VERDICT#")
        << u"не соответствует (CO на минимальных оборотах 0,80 % > 0,30 %; CH на "
           u"минимальных оборотах 250 ppm > 200 ppm), #VERDICT# ____"_s;
    QTest::newRow("only #reasons#")
        << QByteArray("\\'cf\\'f0\\'e8\\'ec\\'e5\\'f7\\'e0\\'ed\\'e8\\'ff:")
        << QByteArray("#reasons#")
        << u"CO на минимальных оборотах 0,80 % > 0,30 %; CH на минимальных "
           u"оборотах 250 ppm > 200 ppm ____"_s;
}

void tst_Verdict::reportTags()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, lastLine);

    QFile file(u":/template.rtf"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray rtf = file.readAll();
    if (!from.isEmpty()) {
        QCOMPARE(rtf.count(from), 1);
        rtf.replace(from, to);
    }
    ReportTemplate loaded = ReadReportTemplate(rtf);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));

    ReportInputs inputs;
    inputs.vehicle = { u"А123ВС"_s, 77, u"ВАЗ-2107"_s, u"Иванов"_s, u"Пётр"_s, u"Ильич"_s, 48 };
    inputs.categoryCode = 32 + 16;
    inputs.results.AfterAdjustmentDone = true;
    inputs.co = { 0.3, 0.5 };
    inputs.ch = { 200, 200 };
    inputs.fillingTime = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7));
    inputs.verdict = { false, u"не соответствует"_s,
        { u"CO на минимальных оборотах 0,80 % > 0,30 %"_s,
            u"CH на минимальных оборотах 250 ppm > 200 ppm"_s } };
    QVERIFY(FillReport(*loaded.document, inputs).ok());

    QString last = loaded.document->toPlainText().split(u'\n').constLast();
    last.replace(QRegularExpression(u"_+"_s), u"____"_s);
    QCOMPARE(last, lastLine);
}

QTEST_GUILESS_MAIN(tst_Verdict)
#include "tst_verdict.moc"
