#include "device/commportdriver.h"
#include "protocol/receiverdata.h"
#include "support/pseudoterminal.h"
#include "support/scripteddialogs.h"
#include "ui/actionimages.h"
#include "ui/mainform.h"
#include "ui/serviceform.h"
#include "ui/warningform.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

class tst_InstrumentControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void pumpPicture_data();
    void pumpPicture();
    void pumpGuardDuringMeasurement_data();
    void pumpGuardDuringMeasurement();
    void commandsOnTheLine_data();
    void commandsOnTheLine();
    void serviceWindow();
    void noticeWindow();
    void noticeRefusesOperatorClose();
    void windowsAreCreatedOnceAndDestroyed();

private:
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<ReceiverData> receiverData_;
    std::unique_ptr<TMainForm> form_;
    std::unique_ptr<PseudoTerminal> instrument_;
    bool measurementDialogVisible_ = false;
};

void tst_InstrumentControl::initTestCase()
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_InstrumentControl::init()
{
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(QDir::tempPath());
    receiverData_ = std::make_unique<ReceiverData>();
    form_ = std::make_unique<TMainForm>(*receiverData_, *dialogs_, *environment_);
    measurementDialogVisible_ = false;
    form_->SetMeasurementDialogVisibleQuery([this] { return measurementDialogVisible_; });
    // The instrument's end of the line: the commands are read back from it.
    instrument_ = std::make_unique<PseudoTerminal>();
    QVERIFY(instrument_->IsOpen());
    form_->COM1->SetPortName(instrument_->SlavePath());
    QVERIFY(form_->COM1->Connect());
}

void tst_InstrumentControl::cleanup()
{
    form_.reset();
    instrument_.reset();
}

void tst_InstrumentControl::pumpPicture_data()
{
    QTest::addColumn<QList<bool>>("states");
    QTest::addColumn<bool>("running");

    QTest::newRow("at start") << QList<bool> {} << false;
    QTest::newRow("running") << QList<bool> { true } << true;
    QTest::newRow("stopped again") << QList<bool> { true, false } << false;
    QTest::newRow("running twice") << QList<bool> { true, true } << true;
}

void tst_InstrumentControl::pumpPicture()
{
    QFETCH(QList<bool>, states);
    QFETCH(bool, running);

    TMainForm &form = *form_;
    for (bool state : states)
        form.SetPumpState(state);

    QCOMPARE(form.PumpRunning(), running);
    QCOMPARE(form.actPump->isChecked(), running);
    QCOMPARE(form.actPump->property("imageIndex").toInt(), running ? 18 : 16);
    const QImage shown = form.actPump->icon().pixmap(16, 16).toImage();
    QCOMPARE(shown, ActionImage(running ? 18 : 16).pixmap(16, 16).toImage());
    QVERIFY(shown != ActionImage(running ? 16 : 18).pixmap(16, 16).toImage());
    QVERIFY(dialogs_->messages.isEmpty());
}

void tst_InstrumentControl::pumpGuardDuringMeasurement_data()
{
    QTest::addColumn<bool>("dialogVisible");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("warned");

    QTest::newRow("stop while measuring") << true << false << true;
    QTest::newRow("start while measuring") << true << true << false;
    QTest::newRow("stop without measurement") << false << false << false;
}

void tst_InstrumentControl::pumpGuardDuringMeasurement()
{
    QFETCH(bool, dialogVisible);
    QFETCH(bool, running);
    QFETCH(bool, warned);

    TMainForm &form = *form_;
    form.SetMeasurementDialogVisibleQuery({});
    QVERIFY(!form.MeasurementDialogVisible()); // no dialog: never visible
    form.SetPumpState(true);
    form.SetMeasurementDialogVisibleQuery([&] { return dialogVisible; });
    QCOMPARE(form.MeasurementDialogVisible(), dialogVisible);

    form.SetPumpState(running);

    // The picture shows what the instrument reported, even when refused.
    QCOMPARE(form.PumpRunning(), running);
    QCOMPARE(form.actPump->isChecked(), running);
    QCOMPARE(instrument_->ReadUntilQuiet(150), warned ? QByteArray("\xD0") : QByteArray());
    QCOMPARE(dialogs_->messages.size(), warned ? 1 : 0);
    if (warned) {
        const test::ScriptedDialogs::Shown &message = dialogs_->messages.first();
        QCOMPARE(message.title, u"КАВРО-02"_s);
        QCOMPARE(message.text, u"Невозможно выключить насос во время измерений!"_s);
        QCOMPARE(message.icon, UserDialogs::Icon::Warning);
        QCOMPARE(message.buttons, UserDialogs::Buttons(UserDialogs::Ok));
    }
}

// Steps: "pump" and "calibr" are the operator's commands, "echo" the
// instrument reporting code 208 (the receiver's SetPumpState with the
// opposite state), "measuring" the measurement dialog becoming visible,
// "open"/"close" its opening and closing.
void tst_InstrumentControl::commandsOnTheLine_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("warnings");

    const QByteArray pump("\xD0");
    const QByteArray zero("\xD2");
    QTest::newRow("pump clicked twice")
        << QStringList { u"pump"_s, u"pump"_s } << pump + pump << false << 0;
    QTest::newRow("pump answered") << QStringList { u"pump"_s, u"echo"_s } << pump << true << 0;
    QTest::newRow("pump answered twice")
        << QStringList { u"pump"_s, u"echo"_s, u"pump"_s, u"echo"_s } << pump + pump << false << 0;
    QTest::newRow("calibration stops the pump picture at once")
        << QStringList { u"echo"_s, u"calibr"_s } << zero << false << 0;
    QTest::newRow("measurement starts the stopped pump")
        << QStringList { u"open"_s } << pump << false << 0;
    QTest::newRow("measurement with the pump running")
        << QStringList { u"echo"_s, u"open"_s } << QByteArray() << true << 0;
    QTest::newRow("pump stops during a measurement")
        << QStringList { u"echo"_s, u"open"_s, u"measuring"_s, u"echo"_s } << pump << false << 1;
    QTest::newRow("and is reported running again")
        << QStringList { u"echo"_s, u"open"_s, u"measuring"_s, u"echo"_s, u"echo"_s } << pump
        << true << 1;
    QTest::newRow("no guard after the measurement")
        << QStringList { u"echo"_s, u"open"_s, u"close"_s, u"echo"_s } << QByteArray() << false
        << 0;
}

void tst_InstrumentControl::commandsOnTheLine()
{
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, sent);
    QFETCH(bool, running);
    QFETCH(int, warnings);

    TMainForm &form = *form_;
    for (const QString &step : steps) {
        if (step == u"pump")
            form.actPump->trigger();
        else if (step == u"calibr")
            form.actCalibr->trigger();
        else if (step == u"echo")
            form.SetPumpState(!form.PumpRunning());
        else if (step == u"open")
            form.MeasurementDialogOpened();
        else if (step == u"measuring")
            measurementDialogVisible_ = true;
        else if (step == u"close") {
            measurementDialogVisible_ = false;
            form.MeasurementDialogClosed();
        } else
            QFAIL(qPrintable(step));
    }

    QCOMPARE(instrument_->ReadUntilQuiet(150), sent);
    QCOMPARE(form.PumpRunning(), running);
    QCOMPARE(form.actPump->isChecked(), running);
    QCOMPARE(form.actPump->property("imageIndex").toInt(), running ? 18 : 16);
    QCOMPARE(dialogs_->messages.size(), warnings);
}

void tst_InstrumentControl::serviceWindow()
{
    TMainForm &form = *form_;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.ShowServiceWindow();
    TServiceForm *service = form.ServiceWindow();
    QVERIFY(service);
    QVERIFY(QTest::qWaitForWindowExposed(service));
    QCOMPARE(service->parentWidget(), &form);
    QVERIFY(!service->isModal());
    QCOMPARE(service->size(), QSize(439, 29));
    const Qt::WindowFlags flags = service->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(service->frameGeometry().center(), form.frameGeometry().center());
    QCOMPARE(service->Panel1->text(), u"Подождите, выполняется автонастройка прибора"_s);
    QCOMPARE(service->Panel1->geometry(), QRect(0, 0, 439, 29));
    QCOMPARE(service->Panel1->font().family(), u"Arial"_s);
    QCOMPARE(service->Panel1->font().pixelSize(), 19);
    QCOMPARE(service->Panel1->alignment(), Qt::AlignCenter);
    QVERIFY(service->findChildren<QAbstractButton *>().isEmpty());
    QVERIFY(service->grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/service.png")));

    QVERIFY(service->close()); // closing hides it
    QVERIFY(!service->isVisible());
    QCOMPARE(form.ServiceWindow(), service);
}

void tst_InstrumentControl::noticeWindow()
{
    TMainForm &form = *form_;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.ShowNoticeWindow();
    TWarningForm *notice = form.NoticeWindow();
    QVERIFY(notice);
    QVERIFY(QTest::qWaitForWindowExposed(notice));
    QCOMPARE(notice->parentWidget(), &form);
    QVERIFY(!notice->isModal());
    QCOMPARE(notice->windowTitle(), u"КАВРО-02"_s);
    QCOMPARE(notice->windowFlags(),
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    QCOMPARE(notice->size(), QSize(483, 54));
    QCOMPARE(notice->frameGeometry().center(), form.frameGeometry().center());

    QCOMPARE(notice->Image1->geometry().size(), QSize(32, 32));
    QCOMPARE(notice->Image1->pixmap().size(), QSize(32, 32));
    QVERIFY(notice->Image1->geometry().right() < notice->Label1->geometry().left());
    QCOMPARE(notice->Label1->text(),
        u" Прибор требует технического обслуживания. Обратитесь к поставщику"_s);
    QCOMPARE(notice->Label2->text(),
        u" Для продолжения работы нажмите нижнюю кнопку на лицевой панели прибора"_s);
    QVERIFY(notice->Label1->geometry().bottom() < notice->Label2->geometry().top());
    for (const QLabel *line : { notice->Label1, notice->Label2 }) {
        QCOMPARE(line->font().families().value(0), u"Tahoma"_s);
        QCOMPARE(line->font().pixelSize(), 11);
        // The whole line fits, whichever face stands in for Tahoma.
        QVERIFY2(line->fontMetrics().horizontalAdvance(line->text()) <= line->width(),
            qPrintable(line->text()));
        QVERIFY(notice->rect().contains(line->geometry()));
    }
    QVERIFY(notice->grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/notice.png")));
}

void tst_InstrumentControl::noticeRefusesOperatorClose()
{
    TMainForm &form = *form_;
    form.show();
    form.ShowNoticeWindow();
    TWarningForm *notice = form.NoticeWindow();
    QVERIFY(QTest::qWaitForWindowExposed(notice));

    QVERIFY(!notice->close());
    QVERIFY(notice->isVisible());
    QTest::keyClick(notice, Qt::Key_Escape);
    QVERIFY(notice->isVisible());
    notice->reject();
    QVERIFY(notice->isVisible());
    QCOMPARE(form.NoticeWindow(), notice);

    form.CloseNoticeWindow();
    QCOMPARE(form.NoticeWindow(), nullptr);
}

void tst_InstrumentControl::windowsAreCreatedOnceAndDestroyed()
{
    TMainForm &form = *form_;
    form.ShowServiceWindow();
    QPointer<TServiceForm> service = form.ServiceWindow();
    form.ShowServiceWindow();
    QCOMPARE(form.ServiceWindow(), service.data());
    QCOMPARE(form.findChildren<TServiceForm *>().size(), 1);
    form.CloseServiceWindow();
    QVERIFY(service.isNull());
    QCOMPARE(form.ServiceWindow(), nullptr);
    form.CloseServiceWindow(); // nothing left to close

    form.ShowNoticeWindow();
    QPointer<TWarningForm> notice = form.NoticeWindow();
    form.ShowNoticeWindow();
    QCOMPARE(form.findChildren<TWarningForm *>().size(), 1);
    form.CloseNoticeWindow();
    QVERIFY(notice.isNull());
    form.CloseNoticeWindow();
}

QTEST_MAIN(tst_InstrumentControl)
#include "tst_instrumentcontrol.moc"
