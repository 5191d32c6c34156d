#pragma once

#include "app/portsetup.h"
#include "device/portindexstore.h"
#include "protocol/instrumentreceiver.h"
#include "protocol/receiverhost.h"
#include "ui/splashform.h"

#include <QObject>
#include <QPointer>

class QDialog;

namespace kavro {

class AppEnvironment;
class CaptureWriter;
class TMainForm;
class UserDialogs;

// The program's side of the instrument link: it holds the receiver and
// serves it with the real windows and the real port (ReceiverHost), runs the
// splash's port set-up (SplashHost), and handles the main window's COM1
// (COM1ReceiveData), actCOMSelect (actCOMSelectExecute) and the connection
// watchdog Timer1 (Timer1Timer).
class ProgramHost : public QObject, public ReceiverHost, public SplashHost
{
    Q_OBJECT

public:
    ProgramHost(TMainForm &mainForm, ReceiverData &receiverData, UserDialogs &dialogs,
        AppEnvironment &environment);
    ~ProgramHost() override;

    // The splash while it exists; nullptr once the start sequence destroyed it.
    void SetSplash(TSplashForm *splash) { splash_ = splash; }
    // The measurement dialog, closed when an automatic zero setting begins.
    void SetMeasurementDialog(QDialog *dialog);
    // Records every byte COM1 reads, and when the receiver gets them, until
    // set to nullptr (kavro02 --capture).
    void SetLineCapture(CaptureWriter *capture);

    // The port set-up opened the port.
    bool PortOpen() const { return portOpen_; }
    const TInstrumentReceiver &Receiver() const { return receiver_; }

    // Handlers of the main window's components
    void COM1ReceiveData(TCommPortDriver *Sender, const quint8 *DataPtr, quint32 DataSize);
    void actCOMSelectExecute() override;
    void Timer1Timer();

    // SplashHost
    bool OpenInstrumentPort() override;
    void SetReceiveHandlerAttached(bool attached) override;
    void ShowMainWindow() override;

    // ReceiverHost
    void SendByte(std::uint8_t code) override;
    void DisconnectPort() override;
    void ChannelReading(int channel, int rawValue) override;
    void EnableMeasurementActions(bool enabled) override;
    void SetNewCarEnabled(bool enabled) override;
    int ShownPageIndex() const override;
    void CloseMainWindow() override;
    bool PumpRunning() const override;
    void SetPumpState(bool running) override;
    bool MeasurementDialogVisible() const override;
    void CloseMeasurementDialog() override;
    bool SplashExists() const override;
    bool SplashTimerFired() const override;
    void CloseSplash() override;
    void ShowServiceWindow() override;
    void CloseServiceWindow() override;
    void ShowNoticeWindow() override;
    void CloseNoticeWindow() override;
    void StartWatchdog() override;
    void StopWatchdog() override;
    void ShowWarningMessage(const QString &text) override;

private:
    QWidget *DialogParent();

    TMainForm &mainForm_;
    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    TInstrumentReceiver receiver_;
    PortIndexStore portIndexStore_;
    PortSetup portSetup_;
    QPointer<TSplashForm> splash_;
    QPointer<QDialog> measurementDialog_;
    CaptureWriter *lineCapture_ = nullptr;
    bool portOpen_ = false;
};

} // namespace kavro
