#pragma once

#include <QString>
#include <cstdint>

namespace kavro {

// Everything the instrument receiver needs from the rest of the program.
// The program implements it with the main window, the serial port and the
// start-up windows; tools and tests implement it with recorders.
class ReceiverHost
{
public:
    virtual ~ReceiverHost() = default;

    // Serial port
    virtual void SendByte(std::uint8_t code) = 0; // result ignored by every caller
    virtual void DisconnectPort() = 0; // diagnostic mode only

    // Main window
    virtual void ChannelReading(int channel, int rawValue) = 0;
    virtual void EnableMeasurementActions(bool enabled) = 0;
    virtual void SetNewCarEnabled(bool enabled) = 0; // actNewCar
    virtual int ShownPageIndex() const = 0; // PageControl1; 0 is the empty page
    virtual void CloseMainWindow() = 0; // ends the program

    // Pump state
    virtual bool PumpRunning() const = 0;
    virtual void SetPumpState(bool running) = 0;

    // Measurement dialog (TNewMesForm)
    virtual bool MeasurementDialogVisible() const = 0;
    virtual void CloseMeasurementDialog() = 0;

    // Connection splash (TSplashForm); it exists until first closed
    virtual bool SplashExists() const = 0;
    virtual bool SplashTimerFired() const = 0; // its 2-second timer
    virtual void CloseSplash() = 0;

    // Automatic zero setting window (TServiceForm) and maintenance notice
    // (TWarningForm), created with the main window as owner. The receiver
    // keeps track of which of them it has open.
    virtual void ShowServiceWindow() = 0; // create and show
    virtual void CloseServiceWindow() = 0; // close and destroy
    virtual void ShowNoticeWindow() = 0;
    virtual void CloseNoticeWindow() = 0;

    // Connection watchdog (the main window's Timer1)
    virtual void StartWatchdog() = 0;
    virtual void StopWatchdog() = 0;

    // Modal message box titled "КАВРО-02" with a warning icon.
    virtual void ShowWarningMessage(const QString &text) = 0;
};

} // namespace kavro
