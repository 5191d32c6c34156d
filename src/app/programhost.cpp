#include "app/programhost.h"

#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "protocol/capturefile.h"
#include "ui/mainform.h"

#include <QAction>
#include <QDialog>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavro {

ProgramHost::ProgramHost(TMainForm &mainForm, ReceiverData &receiverData, UserDialogs &dialogs,
    AppEnvironment &environment)
    : mainForm_(mainForm)
    , dialogs_(dialogs)
    , environment_(environment)
    , receiver_(receiverData, *this)
    , portIndexStore_(environment.ProgramFolder())
    , portSetup_(*mainForm.COM1, portIndexStore_, dialogs)
{
    connect(mainForm_.Timer1, &QTimer::timeout, this, &ProgramHost::Timer1Timer);
    connect(mainForm_.actCOMSelect, &QAction::triggered, this, &ProgramHost::actCOMSelectExecute);
}

ProgramHost::~ProgramHost()
{
    // The port outlives this host a little, inside the main window.
    mainForm_.COM1->SetOnReceiveData(nullptr);
    mainForm_.COM1->SetReadTap(nullptr);
}

void ProgramHost::SetLineCapture(CaptureWriter *capture)
{
    lineCapture_ = capture;
    if (!capture) {
        mainForm_.COM1->SetReadTap(nullptr);
        return;
    }
    // The capture starts with whether the receiver listens yet.
    capture->WriteReceiverState(mainForm_.COM1->HasOnReceiveData());
    mainForm_.COM1->SetReadTap(
        [capture](const quint8 *data, quint32 size) { capture->WriteBytes(data, size); });
}

void ProgramHost::SetMeasurementDialog(QDialog *dialog)
{
    measurementDialog_ = dialog;
    mainForm_.SetMeasurementDialogVisibleQuery(
        [dialog = QPointer<QDialog>(dialog)] { return dialog && dialog->isVisible(); });
}

void ProgramHost::COM1ReceiveData(TCommPortDriver *, const quint8 *DataPtr, quint32 DataSize)
{
    for (quint32 i = 0; i < DataSize; ++i) {
        mainForm_.SetDataReceived(true);
        receiver_.ReceiveByte(DataPtr[i]);
    }
}

void ProgramHost::actCOMSelectExecute()
{
    portSetup_.ChooseAnotherPort(DialogParent());
}

void ProgramHost::Timer1Timer()
{
    if (!mainForm_.DataReceived()) {
        mainForm_.Timer1->stop();
        dialogs_.Message(DialogParent(), ProgramName,
            u"Потеряно соединение с прибором.\r"
            u"Включите прибор и запустите приложение еще раз"_s,
            UserDialogs::Icon::Error, UserDialogs::Ok);
        environment_.EndProgram(0);
    }
    mainForm_.SetDataReceived(false);
}

// While the splash stays on top, dialogs belong to it so that they show above it.
QWidget *ProgramHost::DialogParent()
{
    if (splash_)
        return splash_;
    return &mainForm_;
}

bool ProgramHost::OpenInstrumentPort()
{
    portOpen_ = false;
    receiver_.ResetForPortSetup();
    portOpen_ = portSetup_.OpenInstrumentPort(DialogParent());
    return portOpen_;
}

void ProgramHost::SetReceiveHandlerAttached(bool attached)
{
    if (lineCapture_ && attached != mainForm_.COM1->HasOnReceiveData())
        lineCapture_->WriteReceiverState(attached);
    if (attached)
        mainForm_.COM1->SetOnReceiveData(
            [this](TCommPortDriver *sender, const quint8 *data, quint32 size) {
                COM1ReceiveData(sender, data, size);
            });
    else
        mainForm_.COM1->SetOnReceiveData(nullptr);
}

void ProgramHost::ShowMainWindow()
{
    mainForm_.show(); // behind the splash, which stays on top
}

void ProgramHost::SendByte(std::uint8_t code)
{
    mainForm_.COM1->SendByte(code);
}

void ProgramHost::DisconnectPort()
{
    mainForm_.COM1->Disconnect();
}

void ProgramHost::ChannelReading(int channel, int rawValue)
{
    mainForm_.ChannelReading(channel, rawValue);
}

void ProgramHost::EnableMeasurementActions(bool enabled)
{
    mainForm_.EnableMeasurementActions(enabled);
}

void ProgramHost::SetNewCarEnabled(bool enabled)
{
    mainForm_.SetNewCarEnabled(enabled);
}

int ProgramHost::ShownPageIndex() const
{
    return mainForm_.ShownPageIndex();
}

void ProgramHost::CloseMainWindow()
{
    mainForm_.close();
}

bool ProgramHost::PumpRunning() const
{
    return mainForm_.PumpRunning();
}

void ProgramHost::SetPumpState(bool running)
{
    mainForm_.SetPumpState(running);
}

bool ProgramHost::MeasurementDialogVisible() const
{
    return mainForm_.MeasurementDialogVisible();
}

void ProgramHost::CloseMeasurementDialog()
{
    if (measurementDialog_)
        measurementDialog_->close();
}

bool ProgramHost::SplashExists() const
{
    return splash_ != nullptr;
}

bool ProgramHost::SplashTimerFired() const
{
    return splash_ && splash_->TimerFired();
}

void ProgramHost::CloseSplash()
{
    if (splash_)
        splash_->close();
}

void ProgramHost::ShowServiceWindow()
{
    mainForm_.ShowServiceWindow();
}

void ProgramHost::CloseServiceWindow()
{
    mainForm_.CloseServiceWindow();
}

void ProgramHost::ShowNoticeWindow()
{
    mainForm_.ShowNoticeWindow();
}

void ProgramHost::CloseNoticeWindow()
{
    mainForm_.CloseNoticeWindow();
}

void ProgramHost::StartWatchdog()
{
    mainForm_.Timer1->start();
}

void ProgramHost::StopWatchdog()
{
    mainForm_.Timer1->stop();
}

void ProgramHost::ShowWarningMessage(const QString &text)
{
    dialogs_.Message(
        DialogParent(), ProgramName, text, UserDialogs::Icon::Warning, UserDialogs::Ok);
}

} // namespace kavro
