#pragma once

#include "protocol/instrumentreceiver.h"

#include <QString>
#include <QTextStream>
#include <functional>

namespace kavro {

// The program's surroundings as the decoder plays them, printing one line
// per event: the splash is open with its two seconds over, the main window
// shows a fixed page, the measurement dialog is never visible, the pump is
// stopped and actNewCar enabled; bytes sent to the instrument go nowhere.
class TracingHost : public ReceiverHost, public ReceiverObserver
{
public:
    // Called after each "reading" line; further users of the readings
    // (zero capture, conversions) print their own lines through Print().
    using ReadingHook = std::function<void(int channel, int rawValue)>;

    TracingHost(QTextStream &out, int shownPage);

    void SetReadingHook(ReadingHook hook) { m_readingHook = std::move(hook); }
    void Print(const QString &line);

    // A diagnostic mode ends the program: the decoder stops reading there.
    bool ProgramEnded() const { return m_programEnded; }

    // ReceiverHost
    void SendByte(std::uint8_t code) override;
    void DisconnectPort() override { }
    void ChannelReading(int channel, int rawValue) override;
    void EnableMeasurementActions(bool enabled) override;
    void SetNewCarEnabled(bool enabled) override;
    int ShownPageIndex() const override { return m_shownPage; }
    void CloseMainWindow() override { }
    bool PumpRunning() const override { return m_pumpRunning; }
    void SetPumpState(bool running) override;
    bool MeasurementDialogVisible() const override { return false; }
    void CloseMeasurementDialog() override { }
    bool SplashExists() const override { return m_splashExists; }
    bool SplashTimerFired() const override { return true; }
    void CloseSplash() override;
    void ShowServiceWindow() override;
    void CloseServiceWindow() override;
    void ShowNoticeWindow() override;
    void CloseNoticeWindow() override;
    void StartWatchdog() override;
    void StopWatchdog() override;
    void ShowWarningMessage(const QString &) override { }

    // ReceiverObserver
    void ReceiverStateChanged(TReceiverState state) override;
    void ZeroCaptureChanged(bool capture) override;
    void CalibrationBlockCompleted() override;
    void DiagnosticModeReported(int code) override;

private:
    QTextStream &m_out;
    ReadingHook m_readingHook;
    const int m_shownPage;
    bool m_pumpRunning = false;
    bool m_splashExists = true;
    bool m_programEnded = false;
};

} // namespace kavro
