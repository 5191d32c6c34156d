#pragma once

#include "compute/currentreadings.h"
#include "compute/readingdispatch.h"
#include "ui/displaypacer.h"
#include "ui/levelspage.h"
#include "ui/numberspage.h"
#include "ui/serviceform.h"
#include "ui/trendchart.h"
#include "ui/trendmonitor.h"
#include "ui/warningform.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QCloseEvent;
class QLabel;
class QMenu;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolBar;
class QWidget;

namespace kavro {

class AppEnvironment;
class TCommPortDriver;
class UserDialogs;

// The program's main window: menu, tool bar, the four views, the status bar,
// the serial port COM1 and the connection watchdog Timer1. Readings from the
// instrument arrive through ChannelReading; the receiver, the vehicle
// registration and the measurement dialog switch the commands through
// EnableMeasurementActions and the operations below.
class TMainForm : public QMainWindow, public ReadingSink
{
    Q_OBJECT

public:
    // Pages of PageControl1.
    enum Page { pgEmpty = 0, pgLevels = 1, pgNumbers = 2, pgGraphics = 3 };
    // Panels of StatusBar1.
    enum StatusPanel { spView = 0, spMonitoring = 1, spVehicle = 2 };

    // receiverData is the receiver's program-wide data (zero capture and
    // calibration image); dialogs and environment outlive the window.
    TMainForm(ReceiverData &receiverData, UserDialogs &dialogs, AppEnvironment &environment,
        QWidget *parent = nullptr);
    ~TMainForm() override;

    // Reading dispatch
    void ChannelReading(int channel, int rawValue);
    int RawReading(int channel) const;

    // Readings display. ShowValue shows a converted value on every page
    // (nothing while the empty page is shown); CurrentValue is the last value
    // shown, limited to the display range.
    void ShowValue(int quantity, double value) override;
    double CurrentValue(int quantity) const;
    // The pages draw a quantity's value at most every DisplayPacer::IntervalMs;
    // this draws every value still waiting at once.
    void FlushDisplay();
    const CurrentReadings &Readings() const { return readings_; }
    // Runs for every engine speed value shown, after the unlimited values
    // are stored: the pace of the trend chart.
    void SetChartSampleHandler(std::function<void()> handler);
    // Writes a shown value's text (quantities 0 to 5) into the measurement
    // dialog's field; called only while that dialog is visible.
    void SetMeasurementFieldWriter(std::function<void(int quantity, const QString &text)> writer);

    // Gauges and page layout
    void CreateGauges();
    void RedrawGauges();
    void LayoutLevelsPage();
    void LayoutNumbersPage();
    void PageControl1Resize();

    // Vehicle category: sets the scales and limits of the seven gauges
    // without redrawing them. GaugeScaleValue reads them back: choice 0
    // LowLimit, 1 HighLimit, 2 MaxValue (0 for anything else).
    void ApplyVehicleCategory(int code);
    int CurrentVehicleCategory() const { return vehicleCategory_; }
    double GaugeScaleValue(int choice, int quantity) const;

    // Command states
    void EnableMeasurementActions(bool enabled);
    void SetNewCarEnabled(bool enabled);
    int ShownPageIndex() const;

    // Status bar
    QString StatusText(int panel) const;
    void SetStatusText(int panel, const QString &text);

    // Pump
    bool PumpRunning() const { return pumpRunning_; }
    void SetPumpState(bool running);

    // Measurement dialog: whether it is visible (false until the dialog is
    // provided), and the events of its opening and closing.
    void SetMeasurementDialogVisibleQuery(std::function<bool()> query);
    bool MeasurementDialogVisible() const;
    void MeasurementDialogOpened();
    void MeasurementDialogClosed();

    // Vehicle registration has finished with this registration number: the
    // scales page is laid out and shown if the empty page was shown.
    void VehicleRegistered(const QString &registrationNumber);
    // The registration number of the vehicle shown (empty before the first).
    QString RegistrationNumber() const { return registrationNumber_; }

    // Monitoring mode on the charts page.
    TrendMonitor &Monitor() const { return *monitor_; }

    // Automatic zero setting window and maintenance notice, owned by this
    // window; Close* destroys them. The accessors give nullptr when absent.
    void ShowServiceWindow();
    void CloseServiceWindow();
    void ShowNoticeWindow();
    void CloseNoticeWindow();
    TServiceForm *ServiceWindow() const;
    TWarningForm *NoticeWindow() const;

    // A byte has arrived since the last watchdog tick (connection supervision).
    bool DataReceived() const { return dataReceived_; }
    void SetDataReceived(bool received) { dataReceived_ = received; }

    // Components
    QToolBar *tlbMain = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QStackedWidget *PageControl1 = nullptr;
    QWidget *tsEmpty = nullptr;
    LevelsPage *tsLevels = nullptr;
    NumbersPage *tsNumbers = nullptr;
    QWidget *tsGraphics = nullptr;
    TTrendChartPanel *Panel34 = nullptr;
    TTrendChart *Chart1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    TCommPortDriver *COM1 = nullptr;
    QTimer *Timer1 = nullptr; // connection watchdog, 2000 ms, stopped at start

    QMenu *mnuFile = nullptr;
    QMenu *mnuView = nullptr;
    QMenu *mnuControl = nullptr;
    QMenu *mnuGraph = nullptr;

    QAction *actNewCar = nullptr;
    QAction *actNewMesurment = nullptr;
    QAction *actPrint = nullptr;
    QAction *actClose = nullptr;
    QAction *actLevels = nullptr;
    QAction *actNumbers = nullptr;
    QAction *actGraphics = nullptr;
    QAction *actPump = nullptr;
    QAction *actCalibr = nullptr;
    QAction *actCOMSelect = nullptr;
    QAction *actMonitoring = nullptr;
    QAction *actSaveGraphics = nullptr;
    QAction *actClear = nullptr;
    QAction *actPause = nullptr;
    QAction *actResume = nullptr;

public Q_SLOTS:
    void actLevelsExecute();
    void actNumbersExecute();
    void actGraphicsExecute();
    void actCloseExecute();
    void actPumpExecute();
    void actCaibrExecute();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanels();
    void CreateStatusBar();
    void CreatePort();
    void CreateMonitoring();
    void PageControl1Change(int index);
    void tsEmptyShow();
    void tsLevelsShow();
    void tsNumbersShow();
    void tsGraphicsShow();
    void AddChartSample();
    void SendToInstrument(std::uint8_t code);
    void ShowWarning(const QString &text);

    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    std::function<bool()> measurementDialogVisible_;
    ReadingDispatch dispatch_;
    std::array<QLabel *, 3> statusPanels_ {};
    CurrentReadings readings_;
    int vehicleCategory_ = 0;
    std::function<void()> chartSampleHandler_;
    std::function<void(int, const QString &)> measurementFieldWriter_;
    QString registrationNumber_;
    TrendMonitor *monitor_ = nullptr;
    DisplayPacer *pagesPacer_ = nullptr;
    bool pumpRunning_ = false;
    bool dataReceived_ = false;
    QPointer<TServiceForm> serviceWindow_;
    QPointer<TWarningForm> noticeWindow_;
};

} // namespace kavro
