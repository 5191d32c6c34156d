#include "compute/quantities.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/indicator.h"
#include "ui/levelspage.h"
#include "ui/mainform.h"
#include "ui/numberspage.h"

#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

// M1 made after 01.10.1986 with a three-component converter.
constexpr int ThreeComponentM1 = 48;

// A warm engine at minimum idle behind a three-component converter.
void ShowIdleReadings(TMainForm &form)
{
    form.ShowValue(qnCO, 0.25);
    form.ShowValue(qnCH, 45);
    form.ShowValue(qnCO2, 14.6);
    form.ShowValue(qnO2, 0.4);
    form.ShowValue(qnLambda, 1.01);
    form.ShowValue(qnEngineSpeed, 820);
    form.ShowValue(qnTemperature, 85.3);
}

} // namespace

class tst_ReadingsDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void showValue_data();
    void showValue();
    void emptyPageShowsNothing();
    void engineSpeedPacesTheChart();
    void measurementFieldsOnlyWhileVisible();
    void categorySetsScalesWithoutRedrawing();
    void pagesDump();
    void screenshots();

private:
    // Registers a vehicle of code as the registration does and shows the
    // window at its design size.
    void ShowRegistered(int code);

    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<ReceiverData> receiverData_;
    std::unique_ptr<TMainForm> form_;
};

void tst_ReadingsDisplay::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_ReadingsDisplay::init()
{
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(QDir::tempPath());
    receiverData_ = std::make_unique<ReceiverData>();
    form_ = std::make_unique<TMainForm>(*receiverData_, *dialogs_, *environment_);
}

void tst_ReadingsDisplay::cleanup()
{
    form_.reset();
}

void tst_ReadingsDisplay::ShowRegistered(int code)
{
    TMainForm &form = *form_;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ApplyVehicleCategory(code);
    form.RedrawGauges();
    form.VehicleRegistered(u"А123ВС77"_s);
}

// Lefts of the vertical gauges (CH, CO, CO2, O2, λ) at Round(k × a), a =
// width of Panel2 / 16, k = 1, 4, 7, 10, 13; start H div 16 and length
// 7H div 8 for H the height of Panel3. Panel6 (93 wide) and Panel7 (108) at
// Round(4a + 35 - width / 2). Horizontal gauges at C = 106 div 8 = 13 with
// length Lh = Round((width - 3a) / 2), from Round(a) and Round(2a + Lh);
// Panel17 and Panel19 at Round(a + Lh / 2 - 54), Round(2a + 3Lh / 2 - 54).
// Numbers page: m = 0.005 W, w5 = (W - 6m) / 5, w2 = (W - 3m) / 2.
void tst_ReadingsDisplay::layout_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<QSize>("pageSize");
    QTest::addColumn<int>("gaugesHeight"); // Panel3
    QTest::addColumn<QList<int>>("verticalLefts");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("coPanels"); // Panel6, Panel7
    QTest::addColumn<int>("horizontalLength");
    QTest::addColumn<QList<int>>("horizontalStarts"); // engine speed, temperature
    QTest::addColumn<QList<int>>("bottomValuePanels"); // Panel17, Panel19
    QTest::addColumn<QList<int>>("firstRowLefts");
    QTest::addColumn<int>("firstRowWidth");
    QTest::addColumn<QList<int>>("secondRowLefts");
    QTest::addColumn<int>("secondRowWidth");
    QTest::addColumn<QList<int>>("subscripts"); // Label6, Label8

    // a = 48.875; Panel7: Round(176.5) = 176, the half to the even one.
    QTest::newRow("design size 800 x 565")
        << QSize(800, 565) << QSize(782, 375) << 99 << QList<int> { 49, 196, 342, 489, 635 } << 6
        << 86 << QList<int> { 184, 176 } << 318 << QList<int> { 49, 416 } << QList<int> { 154, 521 }
        << QList<int> { 4, 160, 315, 471, 626 } << 152 << QList<int> { 4, 393 } << 385
        << QList<int> { 71, 62 };
    // a = 62.875: CO at Round(251.5) = 252, Panel7 at Round(232.5) = 232;
    // Lh = Round(408.69) = 409; W = 1006: w5 = 195.164, w2 = 495.455.
    QTest::newRow("resized to 1024 x 700")
        << QSize(1024, 700) << QSize(1006, 510) << 234 << QList<int> { 63, 252, 440, 629, 817 }
        << 14 << 204 << QList<int> { 240, 232 } << 409 << QList<int> { 63, 535 }
        << QList<int> { 213, 685 } << QList<int> { 5, 205, 405, 606, 806 } << 195
        << QList<int> { 5, 506 } << 495 << QList<int> { 92, 80 };
}

void tst_ReadingsDisplay::layout()
{
    QFETCH(QSize, windowSize);
    QFETCH(QSize, pageSize);
    QFETCH(int, gaugesHeight);
    QFETCH(QList<int>, verticalLefts);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QList<int>, coPanels);
    QFETCH(int, horizontalLength);
    QFETCH(QList<int>, horizontalStarts);
    QFETCH(QList<int>, bottomValuePanels);
    QFETCH(QList<int>, firstRowLefts);
    QFETCH(int, firstRowWidth);
    QFETCH(QList<int>, secondRowLefts);
    QFETCH(int, secondRowWidth);
    QFETCH(QList<int>, subscripts);

    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    form.resize(windowSize); // laid out again by PageControl1Resize
    QTRY_COMPARE(form.tsLevels->size(), pageSize);
    LevelsPage &levels = *form.tsLevels;
    QCOMPARE(levels.Panel2->contentsRect().width(), pageSize.width());
    QCOMPARE(levels.Panel3->height(), gaugesHeight);
    QCOMPARE(levels.Panel5->contentsRect().size(), QSize(pageSize.width(), 106));

    const int verticalOrder[] = { qnCH, qnCO, qnCO2, qnO2, qnLambda };
    for (int i = 0; i < 5; ++i) {
        const TIndicator &gauge = *levels.Gauge(verticalOrder[i]);
        QCOMPARE(gauge.Shape(0)->geometry(), QRect(verticalLefts[i], start, 70, length + 1));
    }
    QCOMPARE(levels.Panel6->x(), coPanels[0]);
    QCOMPARE(levels.Panel7->x(), coPanels[1]);
    for (int i = 0; i < 2; ++i) {
        const TIndicator &gauge = *levels.Gauge(i == 0 ? qnEngineSpeed : qnTemperature);
        QCOMPARE(gauge.Shape(0)->geometry(),
            QRect(horizontalStarts[i] - 1, 13, horizontalLength + 1, 70));
    }
    QCOMPARE(levels.Panel17->x(), bottomValuePanels[0]);
    QCOMPARE(levels.Panel19->x(), bottomValuePanels[1]);

    form.actNumbers->trigger();
    NumbersPage &numbers = *form.tsNumbers;
    QCOMPARE(numbers.contentsRect().width(), pageSize.width());
    const int firstRow[] = { qnCO, qnCO2, qnCH, qnO2, qnLambda };
    for (int i = 0; i < 5; ++i) {
        for (const QLabel *panel :
            { numbers.CaptionPanel(firstRow[i]), numbers.ValuePanel(firstRow[i]) }) {
            QCOMPARE(panel->x(), firstRowLefts[i]);
            QCOMPARE(panel->width(), firstRowWidth);
        }
    }
    const int secondRow[] = { qnEngineSpeed, qnTemperature };
    for (int i = 0; i < 2; ++i) {
        for (const QLabel *panel :
            { numbers.CaptionPanel(secondRow[i]), numbers.ValuePanel(secondRow[i]) }) {
            QCOMPARE(panel->x(), secondRowLefts[i]);
            QCOMPARE(panel->width(), secondRowWidth);
        }
    }
    QCOMPARE(numbers.Label6->x(), subscripts[0]);
    QCOMPARE(numbers.Label8->x(), subscripts[1]);
}

void tst_ReadingsDisplay::showValue_data()
{
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("shown");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bar"); // pixels: Round(shown / maximum × length)

    QTest::newRow("CO without calibration, pinned at 7")
        << int(qnCO) << 2147483647.0 << 7.0 << u"7,00"_s << 86;
    QTest::newRow("CO2 below zero, shown as 0") << int(qnCO2) << -0.1 << 0.0 << u" 0,0"_s << 0;
    QTest::newRow("CH 56") << int(qnCH) << 56.0 << 56.0 << u"  56"_s << 2;
    QTest::newRow("O2 0.5") << int(qnO2) << 0.5 << 0.5 << u" 0,50"_s << 2;
    QTest::newRow("λ 1.01") << int(qnLambda) << 1.01 << 1.01 << u"1,01"_s << 43;
    QTest::newRow("engine speed 850") << int(qnEngineSpeed) << 850.0 << 850.0 << u" 850"_s << 27;
    QTest::newRow("temperature 85.3") << int(qnTemperature) << 85.3 << 85.3 << u"85,30"_s << 271;
}

void tst_ReadingsDisplay::showValue()
{
    QFETCH(int, quantity);
    QFETCH(double, value);
    QFETCH(double, shown);
    QFETCH(QString, text);
    QFETCH(int, bar);

    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    form.ShowValue(quantity, value);

    QCOMPARE(form.CurrentValue(quantity), shown);
    QCOMPARE(form.Readings().ChartValue(quantity), value);
    QCOMPARE(form.tsLevels->ValuePanel(quantity)->text(), text);
    QCOMPARE(form.tsNumbers->ValuePanel(quantity)->text(), text);
    const TIndicator &gauge = *form.tsLevels->Gauge(quantity);
    QCOMPARE(gauge.Value(), shown);
    const QRect barShape = gauge.Shape(1)->geometry();
    QCOMPARE(quantity >= qnEngineSpeed ? barShape.width() : barShape.height(), bar);
}

void tst_ReadingsDisplay::emptyPageShowsNothing()
{
    TMainForm &form = *form_;
    int chartSamples = 0;
    int fieldWrites = 0;
    form.SetChartSampleHandler([&] { ++chartSamples; });
    form.SetMeasurementDialogVisibleQuery([] { return true; });
    form.SetMeasurementFieldWriter([&](int, const QString &) { ++fieldWrites; });
    form.ApplyVehicleCategory(ThreeComponentM1);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString initialDump = test::DumpWidgetTree(*form.PageControl1);

    ShowIdleReadings(form);

    for (int q = 0; q < QuantityCount; ++q) {
        QCOMPARE(form.CurrentValue(q), 0.0);
        QCOMPARE(form.Readings().ChartValue(q), 0.0);
        QCOMPARE(form.tsLevels->Gauge(q)->Value(), 0.0);
    }
    QCOMPARE(test::DumpWidgetTree(*form.PageControl1), initialDump);
    QCOMPARE(chartSamples, 0);
    QCOMPARE(fieldWrites, 0);
}

// Each engine speed value takes a chart sample after the unlimited values
// are stored and before the panels show it; other quantities take none.
void tst_ReadingsDisplay::engineSpeedPacesTheChart()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    QStringList samples;
    form.SetChartSampleHandler([&] {
        samples << u"%1 %2 %3"_s.arg(form.Readings().ChartValue(qnEngineSpeed), 0, 'f', 0)
                       .arg(form.Readings().ChartValue(qnCO), 0, 'f', 0)
                       .arg(form.tsLevels->Panel17->text());
    });

    form.ShowValue(qnCO, 2147483647.0);
    form.ShowValue(qnEngineSpeed, 850);
    form.ShowValue(qnTemperature, 80);
    form.ShowValue(qnEngineSpeed, 12000);

    QCOMPARE(samples, (QStringList { u"850 2147483647 0000"_s, u"12000 2147483647  850"_s }));
    // The panels draw a quantity at most every 100 ms: the second speed
    // waits, and its newest value follows when the interval ends.
    QCOMPARE(form.tsLevels->Panel17->text(), u" 850"_s);
    QCOMPARE(form.CurrentValue(qnEngineSpeed), 9999.0);
    QTRY_COMPARE_WITH_TIMEOUT(form.tsLevels->Panel17->text(), u"9999"_s, 1000);
    QCOMPARE(form.tsNumbers->Panel32->text(), u"9999"_s);
}

void tst_ReadingsDisplay::measurementFieldsOnlyWhileVisible()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    bool dialogVisible = false;
    QStringList fields;
    form.SetMeasurementDialogVisibleQuery([&] { return dialogVisible; });
    form.SetMeasurementFieldWriter(
        [&](int quantity, const QString &text) { fields << u"%1:%2"_s.arg(quantity).arg(text); });

    ShowIdleReadings(form);
    QVERIFY(fields.isEmpty());

    dialogVisible = true;
    ShowIdleReadings(form);
    QCOMPARE(fields,
        (QStringList {
            u"0:0,25"_s, u"1:  45"_s, u"2:14,6"_s, u"3: 0,40"_s, u"4:1,01"_s, u"5: 820"_s }));
}

void tst_ReadingsDisplay::categorySetsScalesWithoutRedrawing()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    const TIndicator &co = *form.tsLevels->Gauge(qnCO);
    const QRect zoneA = co.Shape(2)->geometry();

    form.ApplyVehicleCategory(53); // N2, three-component

    QCOMPARE(form.CurrentVehicleCategory(), 53);
    QCOMPARE(form.GaugeScaleValue(0, qnCH), 200.0);
    QCOMPARE(form.GaugeScaleValue(1, qnEngineSpeed), 2000.0);
    QCOMPARE(form.GaugeScaleValue(2, qnTemperature), 99.99);
    QCOMPARE(co.Label(3)->text(), u"0,3"_s);
    QCOMPARE(co.Shape(2)->geometry(), zoneA); // until the caller redraws
    form.RedrawGauges();
    QCOMPARE(co.Shape(2)->height(), 4); // Round(0.3 / 7 × 86) = Round(3.69)

    // After-treatment field 3: CO, CH and engine speed keep their scales.
    form.ApplyVehicleCategory(32 + 24);
    QCOMPARE(form.CurrentVehicleCategory(), 56);
    QCOMPARE(form.GaugeScaleValue(0, qnCO), 0.3);
    QCOMPARE(form.GaugeScaleValue(1, qnCH), 200.0);
    QCOMPARE(form.GaugeScaleValue(0, qnEngineSpeed), 900.0);
}

// Both pages at the design size with live values: names, texts, fonts,
// colours, frames and the geometry of every panel and gauge part.
void tst_ReadingsDisplay::pagesDump()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    ShowIdleReadings(form);
    QVERIFY(test::MatchesGolden(*form.tsLevels, u"mainform-levels"_s, test::DumpDetail::Full));
    form.actNumbers->trigger();
    QVERIFY(test::MatchesGolden(*form.tsNumbers, u"mainform-numbers"_s, test::DumpDetail::Full));
}

void tst_ReadingsDisplay::screenshots()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    ShowIdleReadings(form);
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-levels.png")));
    form.actNumbers->trigger();
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-numbers.png")));
}

QTEST_MAIN(tst_ReadingsDisplay)
#include "tst_readingsdisplay.moc"
