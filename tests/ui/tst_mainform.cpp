#include "compute/calibration.h"
#include "compute/conversions.h"
#include "device/commportdriver.h"
#include "platform/appenvironment.h"
#include "protocol/receiverdata.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/actionimages.h"
#include "ui/mainform.h"
#include "ui/shortcuthintmenu.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

const QStringList AllActions = {
    u"actNewCar"_s,
    u"actNewMesurment"_s,
    u"actPrint"_s,
    u"actClose"_s,
    u"actLevels"_s,
    u"actNumbers"_s,
    u"actGraphics"_s,
    u"actPump"_s,
    u"actCalibr"_s,
    u"actCOMSelect"_s,
    u"actMonitoring"_s,
    u"actSaveGraphics"_s,
    u"actClear"_s,
    u"actPause"_s,
    u"actResume"_s,
};

const QString EmptyPageText = u" Для начала работы зарегистрируйте новый автомобиль"_s;
const QString LevelsPageText = u" Показ уровней параметров в виде шкал"_s;
const QString NumbersPageText = u" Показ уровней параметров в числовом виде"_s;
const QString GraphicsPageText = u" Показ уровней параметров в виде графиков"_s;

QStringList EnabledActions(const TMainForm &form)
{
    QStringList names;
    for (const QString &name : AllActions) {
        const auto *action = form.findChild<QAction *>(name);
        if (action && action->isEnabled())
            names << name;
    }
    return names;
}

// The components that are not widgets, and the window's state at start.
QString ComponentLines(const TMainForm &form)
{
    const TCommPortDriver &port = *form.COM1;
    QString lines
        = u"component COM1 objectName=%1 port=%2 name=\"%3\" baud=%4 polling=%5"_s
              .arg(port.objectName())
              .arg(port.Port() == pnCustom ? u"pnCustom"_s : QString::number(port.Port()))
              .arg(port.PortName())
              .arg(port.BaudRate() == br9600 ? u"br9600"_s : QString::number(port.BaudRate()))
              .arg(port.PollingDelay());
    lines += port.IsConnected() ? u" connected"_s : u" not-connected"_s;
    lines += port.HasOnReceiveData() ? u" receive-handler\n"_s : u" no-receive-handler\n"_s;
    lines += u"component Timer1 interval=%1 %2\n"_s.arg(form.Timer1->interval())
                 .arg(form.Timer1->isActive() ? u"running"_s : u"stopped"_s);
    lines += u"state data-received=%1 pump-running=%2 page=%3 status=[\"%4\",\"%5\",\"%6\"]\n"_s
                 .arg(form.DataReceived())
                 .arg(form.PumpRunning())
                 .arg(form.ShownPageIndex())
                 .arg(form.StatusText(0), form.StatusText(1), form.StatusText(2));
    return lines;
}

// Exposes the menu entry text that a menu draws for an action.
class MenuEntryProbe : public ShortcutHintMenu
{
public:
    QString EntryText(const QAction *action) const
    {
        QStyleOptionMenuItem option;
        initStyleOption(&option, action);
        return option.text;
    }
};

} // namespace

class tst_MainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowDump();
    void actionPicturesComeFromTheImageList();
    void pumpMenuEntryShowsCtrlU();
    void ctrlUReachesGraphics();
    void stateTable_data();
    void stateTable();
    void viewPagesSetStatusText_data();
    void viewPagesSetStatusText();
    void enableMeasurementActionsAlwaysEnablesClose();
    void channelReadingOnEmptyPage();
    void zeroCaptureStoresOnlyZeroReadings_data();
    void zeroCaptureStoresOnlyZeroReadings();
    void channelReadingShowsItsQuantity_data();
    void channelReadingShowsItsQuantity();
    void channelFourUpdatesOnlyLambda();
    void showValueAfterRegistration_data();
    void showValueAfterRegistration();
    void closingEndsProgram_data();
    void closingEndsProgram();
    void statusTextsFit();
    void screenshots();
    void endProgramEndsTheMainLoopStartedLater(); // last: it ends the application

private:
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<ReceiverData> receiverData_;
    std::unique_ptr<TMainForm> form_;
};

void tst_MainForm::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_MainForm::init()
{
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(QDir::tempPath());
    receiverData_ = std::make_unique<ReceiverData>();
    form_ = std::make_unique<TMainForm>(*receiverData_, *dialogs_, *environment_);
}

void tst_MainForm::cleanup()
{
    form_.reset();
}

// The window as a whole: every widget and action with its properties,
// and the components that are not widgets.
void tst_MainForm::windowDump()
{
    TMainForm &form = *form_;
    QVERIFY(!form.isVisible()); // shown by the start sequence, not by itself
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(test::MatchesGolden(
        test::DumpWidgetTree(form, test::DumpDetail::Full) + ComponentLines(form), u"mainform"_s));
}

void tst_MainForm::actionPicturesComeFromTheImageList()
{
    for (const QString &name : AllActions) {
        const auto *action = form_->findChild<QAction *>(name);
        const int image = action->property("imageIndex").toInt();
        if (image >= 0)
            QVERIFY2(action->icon().pixmap(16, 16).toImage()
                    == ActionImage(image).pixmap(16, 16).toImage(),
                qPrintable(name));
    }
}

void tst_MainForm::pumpMenuEntryShowsCtrlU()
{
    QStringList menuBarOrder;
    for (const QAction *entry : form_->menuBar()->actions())
        menuBarOrder << entry->text();
    QCOMPARE(menuBarOrder,
        (QStringList { u"Файл"_s, u"Вид"_s, u"Управление прибором"_s, u"Графики"_s }));

    QVERIFY(qobject_cast<ShortcutHintMenu *>(form_->mnuControl));
    MenuEntryProbe probe;
    QCOMPARE(probe.EntryText(form_->actPump), u"Насос\tCtrl+U"_s);
    QCOMPARE(probe.EntryText(form_->actGraphics), u"Графики\tCtrl+U"_s);
    QCOMPARE(probe.EntryText(form_->actCOMSelect), u"Выбрать порт..."_s);
}

void tst_MainForm::ctrlUReachesGraphics()
{
    TMainForm &form = *form_;
    form.VehicleRegistered(u"А123ВС"_s);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QSignalSpy pumpTriggered(form.actPump, &QAction::triggered);

    QTest::keyClick(&form, Qt::Key_U, Qt::ControlModifier);

    QCOMPARE(form.ShownPageIndex(), 3);
    QCOMPARE(form.StatusText(0), GraphicsPageText);
    QCOMPARE(pumpTriggered.count(), 0);
}

// Each row starts from a new window and runs the listed events, written as
// the operations that their originators call:
//   portOpened / portFailed  the connection splash was shown
//   zeroStarts / zeroEnds    the automatic zero setting
//   noticeOn / noticeOff     the maintenance notice
//   registered               a vehicle was registered
//   measureOpen / measureClose  the measurement dialog
//   levels / numbers / graphics  the view actions, as the operator gives them
void tst_MainForm::stateTable_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("watchdog");

    const QStringList waiting = { u"actClose"_s, u"actPump"_s, u"actCalibr"_s, u"actCOMSelect"_s };
    const QStringList ready
        = { u"actNewCar"_s, u"actClose"_s, u"actPump"_s, u"actCalibr"_s, u"actCOMSelect"_s };
    const QStringList noMeasurement = { u"actClose"_s, u"actCOMSelect"_s };
    const QStringList afterNotice = { u"actNewCar"_s, u"actClose"_s, u"actCOMSelect"_s };
    const QStringList registered = { u"actNewCar"_s, u"actNewMesurment"_s, u"actClose"_s,
        u"actLevels"_s, u"actNumbers"_s, u"actGraphics"_s, u"actPump"_s, u"actCalibr"_s,
        u"actCOMSelect"_s, u"actMonitoring"_s };
    const QStringList measuring = { u"actClose"_s, u"actLevels"_s, u"actNumbers"_s,
        u"actGraphics"_s, u"actCOMSelect"_s, u"actMonitoring"_s };

    QTest::newRow("window created") << QStringList() << waiting << 0 << false;
    QTest::newRow("views unavailable at start")
        << QStringList { u"levels"_s, u"numbers"_s, u"graphics"_s } << waiting << 0 << false;
    QTest::newRow("splash, port opened") << QStringList { u"portOpened"_s } << ready << 0 << false;
    QTest::newRow("splash, port failed")
        << QStringList { u"portFailed"_s } << waiting << 0 << false;
    QTest::newRow("zero setting starts")
        << QStringList { u"portOpened"_s, u"zeroStarts"_s } << noMeasurement << 0 << false;
    QTest::newRow("zero setting ends on the empty page")
        << QStringList { u"portOpened"_s, u"zeroStarts"_s, u"zeroEnds"_s } << afterNotice << 0
        << false;
    QTest::newRow("maintenance notice on")
        << QStringList { u"portOpened"_s, u"noticeOn"_s } << noMeasurement << 0 << false;
    QTest::newRow("maintenance notice off") << QStringList { u"portOpened"_s, u"noticeOn"_s,
        u"noticeOff"_s } << afterNotice << 0 << true;
    QTest::newRow("vehicle registered")
        << QStringList { u"portOpened"_s, u"registered"_s } << registered << 1 << false;
    QTest::newRow("notice off after registration keeps measurement off")
        << QStringList { u"portOpened"_s, u"registered"_s, u"noticeOn"_s, u"noticeOff"_s }
        << afterNotice << 1 << true;
    QTest::newRow("registered again after a notice") << QStringList { u"portOpened"_s,
        u"registered"_s, u"noticeOn"_s, u"noticeOff"_s, u"registered"_s }
                                                     << registered << 1 << true;
    QTest::newRow("zero setting ends on a view page") << QStringList { u"portOpened"_s,
        u"registered"_s, u"numbers"_s, u"zeroStarts"_s, u"zeroEnds"_s }
                                                      << registered << 2 << false;
    QTest::newRow("registration keeps the shown view page")
        << QStringList { u"portOpened"_s, u"registered"_s, u"graphics"_s, u"registered"_s }
        << registered << 3 << false;
    QTest::newRow("measurement dialog opens") << QStringList { u"portOpened"_s, u"registered"_s,
        u"measureOpen"_s } << measuring << 1 << false;
    QTest::newRow("measurement dialog closes")
        << QStringList { u"portOpened"_s, u"registered"_s, u"measureOpen"_s, u"measureClose"_s }
        << registered << 1 << false;
}

void tst_MainForm::stateTable()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, enabled);
    QFETCH(int, page);
    QFETCH(bool, watchdog);

    TMainForm &form = *form_;
    const QHash<QString, std::function<void()>> run = {
        { u"portOpened"_s, [&] { form.SetNewCarEnabled(true); } },
        { u"portFailed"_s, [&] { form.SetNewCarEnabled(false); } },
        { u"zeroStarts"_s,
            [&] {
                form.SetNewCarEnabled(false);
                form.EnableMeasurementActions(false);
            } },
        { u"zeroEnds"_s,
            [&] {
                form.SetNewCarEnabled(true);
                if (form.ShownPageIndex() != 0)
                    form.EnableMeasurementActions(true);
            } },
        { u"noticeOn"_s,
            [&] {
                form.SetNewCarEnabled(false);
                form.EnableMeasurementActions(false);
                form.ShowNoticeWindow();
                form.Timer1->stop();
            } },
        { u"noticeOff"_s,
            [&] {
                form.CloseNoticeWindow();
                form.SetNewCarEnabled(true);
                form.Timer1->start();
            } },
        { u"registered"_s, [&] { form.VehicleRegistered(u"А123ВС"_s); } },
        { u"measureOpen"_s, [&] { form.MeasurementDialogOpened(); } },
        { u"measureClose"_s, [&] { form.MeasurementDialogClosed(); } },
        { u"levels"_s, [&] { form.actLevels->trigger(); } },
        { u"numbers"_s, [&] { form.actNumbers->trigger(); } },
        { u"graphics"_s, [&] { form.actGraphics->trigger(); } },
    };
    for (const QString &event : events) {
        QVERIFY2(run.contains(event), qPrintable(event));
        run[event]();
    }

    QCOMPARE(EnabledActions(form), enabled);
    QCOMPARE(form.ShownPageIndex(), page);
    QCOMPARE(form.Timer1->isActive(), watchdog);
    QCOMPARE(
        form.NoticeWindow() != nullptr, events.count(u"noticeOn"_s) > events.count(u"noticeOff"_s));
    QCOMPARE(form.StatusText(2),
        events.contains(u"registered"_s) ? u" Регистрационный знак - А123ВС"_s : QString());
}

void tst_MainForm::viewPagesSetStatusText_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("status");

    QTest::newRow("actNumbers") << u"actNumbers"_s << 2 << NumbersPageText;
    QTest::newRow("actGraphics") << u"actGraphics"_s << 3 << GraphicsPageText;
    QTest::newRow("actLevels after another page") << u"actLevels"_s << 1 << LevelsPageText;
}

void tst_MainForm::viewPagesSetStatusText()
{
    QFETCH(QString, action);
    QFETCH(int, page);
    QFETCH(QString, status);

    TMainForm &form = *form_;
    QCOMPARE(form.StatusText(0), EmptyPageText);
    form.VehicleRegistered(u"Х001ХХ"_s);
    QCOMPARE(form.ShownPageIndex(), 1);
    QCOMPARE(form.StatusText(0), LevelsPageText);
    form.actNumbers->trigger(); // leaves the scales page, so every row changes page

    form.findChild<QAction *>(action)->trigger();

    QCOMPARE(form.ShownPageIndex(), page);
    QCOMPARE(form.StatusText(0), status);
}

void tst_MainForm::enableMeasurementActionsAlwaysEnablesClose()
{
    TMainForm &form = *form_;
    form.actClose->setEnabled(false);
    form.EnableMeasurementActions(false);
    QVERIFY(form.actClose->isEnabled());
    form.actClose->setEnabled(false);
    form.EnableMeasurementActions(true);
    QVERIFY(form.actClose->isEnabled());
}

void tst_MainForm::channelReadingOnEmptyPage()
{
    TMainForm &form = *form_;
    for (int channel = 0; channel < ChannelCount; ++channel)
        form.ChannelReading(channel, 100 + channel);
    form.ChannelReading(3, 2613);

    QCOMPARE(form.RawReading(3), 2613);
    QCOMPARE(form.RawReading(5), 105);
    QCOMPARE(form.RawReading(15), 115);
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        QCOMPARE(form.CurrentValue(quantity), 0.0);
}

void tst_MainForm::zeroCaptureStoresOnlyZeroReadings_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("captured");

    QTest::newRow("channel 0") << 0 << true;
    QTest::newRow("channel 3") << 3 << true;
    QTest::newRow("channel 13") << 13 << true;
    QTest::newRow("channel 14 is dropped") << 14 << false;
    QTest::newRow("channel 15 is dropped") << 15 << false;
}

void tst_MainForm::zeroCaptureStoresOnlyZeroReadings()
{
    QFETCH(int, channel);
    QFETCH(bool, captured);

    TMainForm &form = *form_;
    form.VehicleRegistered(u"А123ВС"_s);
    form.ChannelReading(channel, 40);
    form.ChannelReading(6, 1000);
    const double shownSpeed = form.CurrentValue(5);
    receiverData_->ZeroCapture = true;

    form.ChannelReading(channel, 77);
    form.ChannelReading(6, 3000);

    QCOMPARE(form.RawReading(channel), 40);
    QCOMPARE(form.RawReading(6), 1000);
    QCOMPARE(form.CurrentValue(5), shownSpeed);
    std::array<std::int32_t, ZeroReadingChannels> expected {};
    expected[6] = 3000;
    if (captured)
        expected[std::size_t(channel)] = 77;
    QCOMPARE(receiverData_->ZeroReadings, expected);
}

// Channel → quantity with a calibration image whose words give round
// numbers; the gases have no calibration block yet and read InvalidValue,
// which the display pins at the top of each range.
void tst_MainForm::channelReadingShowsItsQuantity_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("quantity"); // -1: nothing shown
    QTest::addColumn<double>("shown");

    QTest::newRow("0: CO2") << 0 << 1000 << 2 << 15.5;
    QTest::newRow("1: CO") << 1 << 1000 << 0 << 7.0;
    QTest::newRow("2: O2") << 2 << 2000 << 3 << 10.0;
    QTest::newRow("3: CH") << 3 << 2613 << 1 << 3000.0;
    QTest::newRow("6: engine speed") << 6 << 1700 << 5 << 3400.0;
    QTest::newRow("7: temperature") << 7 << 2400 << 6 << 55.6;
    QTest::newRow("5: stored only") << 5 << 1234 << -1 << 0.0;
    QTest::newRow("8: stored only") << 8 << 1234 << -1 << 0.0;
    QTest::newRow("15: stored only") << 15 << 4095 << -1 << 0.0;
}

void tst_MainForm::channelReadingShowsItsQuantity()
{
    QFETCH(int, channel);
    QFETCH(int, raw);
    QFETCH(int, quantity);
    QFETCH(double, shown);

    Calibration calibration;
    calibration.O2Scale = 32768;
    calibration.RpmScale = 32768;
    calibration.RpmTrim = 128;
    calibration.TempScale = 32768;
    WriteCalibration(calibration, receiverData_->InstrumentImage);
    TMainForm &form = *form_;
    form.VehicleRegistered(u"А123ВС"_s);

    form.ChannelReading(channel, raw);

    QCOMPARE(form.RawReading(channel), raw);
    for (int q = 0; q < QuantityCount; ++q)
        QCOMPARE(form.CurrentValue(q), q == quantity ? shown : 0.0);
}

void tst_MainForm::channelFourUpdatesOnlyLambda()
{
    TMainForm &form = *form_;
    form.VehicleRegistered(u"А123ВС"_s);
    receiverData_->BlockReceived = true; // gases from the (empty) calibration words
    form.ChannelReading(0, 900);
    form.ChannelReading(1, 300);
    form.ChannelReading(2, 50);
    form.ChannelReading(3, 400);
    std::array<double, QuantityCount> before {};
    for (int q = 0; q < QuantityCount; ++q)
        before[std::size_t(q)] = form.CurrentValue(q);

    form.ChannelReading(4, 2000);

    TRawReadings raw {};
    raw[0] = 900;
    raw[1] = 300;
    raw[2] = 50;
    raw[3] = 400;
    raw[4] = 2000;
    const double lambda = std::clamp(ComputeLambda(*receiverData_, raw), 0.0, 2.0);
    QCOMPARE(form.CurrentValue(4), lambda);
    for (int q = 0; q < QuantityCount; ++q) {
        if (q != 4)
            QCOMPARE(form.CurrentValue(q), before[std::size_t(q)]);
    }
}

void tst_MainForm::showValueAfterRegistration_data()
{
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("shown");

    QTest::newRow("CO within range") << 0 << 1.234 << 1.234;
    QTest::newRow("CO without calibration") << 0 << 2147483647.0 << 7.0;
    QTest::newRow("CH above range") << 1 << 3500.0 << 3000.0;
    QTest::newRow("CO2 below zero") << 2 << -0.1 << 0.0;
    QTest::newRow("O2") << 3 << 20.9 << 20.9;
    QTest::newRow("lambda") << 4 << 2.5 << 2.0;
    QTest::newRow("engine speed") << 5 << 850.0 << 850.0;
    QTest::newRow("temperature") << 6 << 100.0 << 99.99;
}

void tst_MainForm::showValueAfterRegistration()
{
    QFETCH(int, quantity);
    QFETCH(double, value);
    QFETCH(double, shown);

    TMainForm &form = *form_;
    form.ShowValue(quantity, value);
    QCOMPARE(form.CurrentValue(quantity), 0.0);

    form.VehicleRegistered(u"А123ВС"_s);
    form.ShowValue(quantity, value);
    QCOMPARE(form.CurrentValue(quantity), shown);
}

void tst_MainForm::closingEndsProgram_data()
{
    QTest::addColumn<bool>("byAction");
    QTest::newRow("actClose") << true;
    QTest::newRow("window closed") << false;
}

void tst_MainForm::closingEndsProgram()
{
    QFETCH(bool, byAction);

    TMainForm &form = *form_;
    form.show();
    QCOMPARE(environment_->endCalls, 0);
    if (byAction)
        form.actClose->trigger();
    else
        form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(environment_->endCalls, 1);
    QCOMPARE(environment_->exitCode, 0);
}

void tst_MainForm::statusTextsFit()
{
    TMainForm &form = *form_;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.VehicleRegistered(u"А123ВС77"_s);
    const QStringList texts = { EmptyPageText, LevelsPageText, NumbersPageText, GraphicsPageText };
    const auto fits = [](const QLabel *panel) {
        return panel->fontMetrics().horizontalAdvance(panel->text())
            <= panel->contentsRect().width();
    };
    const QList<QLabel *> panels
        = form.StatusBar1->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QString &text : texts) {
        form.SetStatusText(0, text);
        QVERIFY2(fits(panels[0]), qPrintable(text));
    }
    QVERIFY(fits(panels[1]));
    QVERIFY2(fits(panels[2]), qPrintable(panels[2]->text()));
}

void tst_MainForm::screenshots()
{
    TMainForm &form = *form_;
    form.SetNewCarEnabled(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-empty.png")));

    form.mnuControl->popup(form.mapToGlobal(QPoint(120, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(form.mnuControl));
    QVERIFY(form.mnuControl->grab().save(
        QStringLiteral(KAVRO_SCREENS_DIR "/mainform-menu-control.png")));
    form.mnuControl->hide();
    form.mnuFile->popup(form.mapToGlobal(QPoint(10, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(form.mnuFile));
    QVERIFY(form.mnuFile->grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-menu-file.png")));
    form.mnuFile->hide();

    // The action pictures side by side at tool bar size and enlarged.
    QImage sheet(13 * 56, 80, QImage::Format_ARGB32);
    sheet.fill(QColor(236, 236, 236));
    QPainter painter(&sheet);
    int left = 4;
    for (int position = 0; position <= 22; position += 2) {
        const QIcon icon = position <= 20 ? ActionImage(position) : MonitoringToolBarImage();
        painter.drawPixmap(left, 4, icon.pixmap(48, 48));
        painter.drawPixmap(left + 16, 58, icon.pixmap(18, 18));
        left += 56;
    }
    painter.end();
    QVERIFY(sheet.save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-icons.png")));
}

void tst_MainForm::endProgramEndsTheMainLoopStartedLater()
{
    SystemEnvironment environment;
    environment.EndProgram(3);
    QTimer::singleShot(3000, [] { QCoreApplication::exit(99); }); // not ended: fail, not hang
    QCOMPARE(QCoreApplication::exec(), 3);
}

QTEST_MAIN(tst_MainForm)
#include "tst_mainform.moc"
