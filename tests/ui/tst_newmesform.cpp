// The measurement dialog: its two steps, what "Запомнить" stores, every way
// of closing it, and how it fits the main window's commands and pump guard.

#include "device/commportdriver.h"
#include "inspection/measurementhost.h"
#include "protocol/receiverdata.h"
#include "support/fakemeasurementhost.h"
#include "support/pseudoterminal.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/inspectionwindows.h"
#include "ui/mainform.h"
#include "ui/newmesform.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

using Values = MeasurementResults::QuantityValues;

// The main window as the dialog will be wired to it; the engine speed gauge
// of an M2 ... N3 until the gauges can be asked.
QString screenPath(const QString &name)
{
    return QStringLiteral(KAVRO_SCREENS_DIR "/") + name + u".png"_s;
}

} // namespace

class tst_NewMesForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void bothStepsAsShown();
    void measurementsStoreTheShownValues();
    void everyWayOfClosingReportsIt_data();
    void everyWayOfClosingReportsIt();
    void readingsInTheFields();
    void startFromTheMainWindow();

private:
    // Opens the dialog and presses "Запомнить" with these values shown; the
    // kind is chosen at the first step only.
    void measure(TNewMesForm &form, test::FakeMeasurementHost &host, AdjustmentKind kind,
        const QList<Values> &steps);
};

void tst_NewMesForm::initTestCase()
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_NewMesForm::measure(TNewMesForm &form, test::FakeMeasurementHost &host,
    AdjustmentKind kind, const QList<Values> &steps)
{
    form.show();
    (kind == BeforeAdjustment ? form.RadioButton1 : form.RadioButton2)->click();
    for (const Values &values : steps) {
        host.shown = values;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }
}

void tst_NewMesForm::bothStepsAsShown()
{
    test::FakeMeasurementHost host;
    host.SetSpeedScale(1100, 2500);
    TNewMesForm form(host);
    form.show();
    const QStringList texts = { u"1,50"_s, u"  85"_s, u"14,2"_s, u" 0,80"_s, u"1,02"_s, u" 820"_s };
    for (int quantity = 0; quantity < int(texts.size()); ++quantity)
        form.ShowReading(quantity, texts[quantity]);
    QCOMPARE(form.focusWidget(), form.Button1);
    QVERIFY(test::MatchesGolden(form, u"newmesform-minimum"_s));
    QVERIFY(form.grab().save(screenPath(u"newmesform-minimum"_s)));

    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(form.CurrentPhase(), IncreasedIdle);
    QVERIFY(test::MatchesGolden(form, u"newmesform-increased"_s));
    QVERIFY(form.grab().save(screenPath(u"newmesform-increased"_s)));
}

void tst_NewMesForm::measurementsStoreTheShownValues()
{
    test::FakeMeasurementHost host;
    TNewMesForm form(host);
    const Values v1 { 1, 101, 11, 1.1, 0.91, 801, 81 };
    const Values v2 { 2, 202, 12, 1.2, 0.92, 2002, 82 };
    const Values v3 { 3, 303, 13, 1.3, 0.93, 803, 83 };
    const Values v4 { 4, 404, 14, 1.4, 0.94, 2004, 84 };
    const Values v5 { 5, 505, 15, 1.5, 0.95, 805, 85 };
    const auto readings = [&](AdjustmentKind kind) {
        return QList<Values> { form.Results().Readings[kind][MinimumIdle],
            form.Results().Readings[kind][IncreasedIdle] };
    };

    // Before adjustment only: stored, but nothing to print yet.
    measure(form, host, BeforeAdjustment, { v1, v2 });
    QVERIFY(!form.isVisible());
    QCOMPARE(readings(BeforeAdjustment), QList<Values>({ v1, v2 }));
    QCOMPARE(readings(AfterAdjustment), QList<Values>({ {}, {} }));
    QVERIFY(form.Results().BeforeAdjustmentDone && !form.Results().AfterAdjustmentDone);
    QCOMPARE(host.printEnabledCalls, QList<bool>({ false, false }));

    // Every opening selects "После регулировки" again; the second step keeps the choice.
    form.show();
    QVERIFY(form.RadioButton2->isChecked() && form.RadioButton1->isEnabled());
    host.shown = v3;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.RadioButton1->isEnabled() && !form.RadioButton2->isEnabled());
    host.shown = v4;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(readings(AfterAdjustment), QList<Values>({ v3, v4 }));
    QVERIFY(form.Results().BeforeAdjustmentDone && form.Results().AfterAdjustmentDone);
    QCOMPARE(host.printEnabledCalls.mid(2), QList<bool>({ false, true }));

    // Cancelled in the second step: the first step's values stay, printing stays off.
    measure(form, host, AfterAdjustment, { v5 });
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QCOMPARE(readings(AfterAdjustment), QList<Values>({ v5, v4 }));
    QVERIFY(!host.printEnabled);

    // A second completed measurement overwrites all 14 cells of its kind.
    measure(form, host, BeforeAdjustment, { v4, v5 });
    QCOMPARE(readings(BeforeAdjustment), QList<Values>({ v4, v5 }));
    QCOMPARE(readings(AfterAdjustment), QList<Values>({ v5, v4 }));
    QVERIFY(host.printEnabled);
    QCOMPARE(host.closings, 4);
}

void tst_NewMesForm::everyWayOfClosingReportsIt_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<IdlePhase>("phase");

    for (IdlePhase phase : { MinimumIdle, IncreasedIdle }) {
        const char *step = phase == MinimumIdle ? "minimum idle" : "increased idle";
        QTest::addRow("\"Отмена\" at %s", step) << u"cancel"_s << phase;
        QTest::addRow("Esc at %s", step) << u"esc"_s << phase;
        QTest::addRow("Esc in a field at %s", step) << u"esc in field"_s << phase;
        QTest::addRow("close box at %s", step) << u"close box"_s << phase;
    }
    QTest::newRow("measurement completed") << u"remember"_s << IncreasedIdle;
}

void tst_NewMesForm::everyWayOfClosingReportsIt()
{
    QFETCH(QString, how);
    QFETCH(IdlePhase, phase);

    test::FakeMeasurementHost host;
    TNewMesForm form(host);
    form.show();
    if (phase == IncreasedIdle)
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(host.closings, 0);

    if (how == u"cancel")
        QTest::mouseClick(form.Button2, Qt::LeftButton);
    else if (how == u"esc")
        QTest::keyClick(&form, Qt::Key_Escape);
    else if (how == u"esc in field")
        QTest::keyClick(form.Edit3, Qt::Key_Escape);
    else if (how == u"close box")
        form.close();
    else
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(host.closings, 1);
}

void tst_NewMesForm::readingsInTheFields()
{
    test::FakeMeasurementHost host;
    TNewMesForm form(host);
    const QList<QLineEdit *> fields
        = { form.Edit1, form.Edit2, form.Edit3, form.Edit4, form.Edit5, form.Edit6 };
    const auto texts = [&] {
        QStringList shown;
        for (const QLineEdit *field : fields)
            shown << field->text();
        return shown;
    };
    form.ShowReading(qnCO, u"6,00"_s); // not shown while the dialog is hidden
    QCOMPARE(texts(), QStringList(6, u"0"_s));

    form.show();
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        form.ShowReading(quantity, u"q%1"_s.arg(quantity));
    QCOMPARE(texts(),
        QStringList({ u"q1"_s, u"q0"_s, u"q2"_s, u"q3"_s, u"q4"_s, u"q5"_s })); // no temperature
    for (const QLineEdit *field : fields)
        QVERIFY(field->isReadOnly());
}

void tst_NewMesForm::startFromTheMainWindow()
{
    test::ScriptedDialogs dialogs;
    test::FakeEnvironment environment(QDir::tempPath());
    ReceiverData receiverData;
    TMainForm window(receiverData, dialogs, environment);
    PseudoTerminal instrument;
    QVERIFY(instrument.IsOpen());
    window.COM1->SetPortName(instrument.SlavePath());
    QVERIFY(window.COM1->Connect());
    InspectionWindows inspection(window, dialogs, environment);
    TNewMesForm &form = inspection.MeasurementDialog();
    window.show();
    window.ApplyVehicleCategory(0); // made before 01.10.1986: minimum idle 100-900
    window.VehicleRegistered(u"А123ВС"_s);
    // Above the display ranges: shown, and so stored, as the ends of the ranges.
    const Values raw { 12, 3500, 14.5, 25, 1.01, 12000, 85 };
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        window.ShowValue(quantity, raw[std::size_t(quantity)]);

    window.actNewMesurment->trigger();
    QVERIFY(form.isVisible());
    QVERIFY(window.MeasurementDialogVisible());
    QCOMPARE(instrument.ReadUntilQuiet(150), QByteArray("\xD0")); // the stopped pump switched on
    for (QAction *action : { window.actPump, window.actNewMesurment, window.actCalibr,
             window.actNewCar, window.actPrint })
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QCOMPARE(form.Label2->text(),
        u"Установите частоту вращения коленчатого вала двигателя в пределах 100-900 об/мин."_s);

    // The pump guard sees the dialog.
    window.SetPumpState(true);
    window.SetPumpState(false);
    QCOMPARE(instrument.ReadUntilQuiet(150), QByteArray("\xD0"));
    QCOMPARE(dialogs.messages.size(), 1);

    // The instrument link disables the commands meanwhile (maintenance notice).
    window.EnableMeasurementActions(false);
    window.SetNewCarEnabled(false);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    for (QAction *action :
        { window.actPump, window.actNewMesurment, window.actCalibr, window.actNewCar })
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(window.actPrint->isEnabled());
    const Values shown { 7, 3000, 14.5, 22, 1.01, 9999, 85 };
    QCOMPARE(form.Results().Readings[AfterAdjustment][MinimumIdle], shown);
    QCOMPARE(form.Results().Readings[AfterAdjustment][IncreasedIdle], shown);
}

QTEST_MAIN(tst_NewMesForm)
#include "tst_newmesform.moc"
