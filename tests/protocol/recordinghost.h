#pragma once

#include "protocol/instrumentreceiver.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace kavro::test {

using namespace Qt::StringLiterals;

// Plays the program around the receiver and records every call, and every
// change the receiver reports, as one line in the order they happen (the
// same words as kavro02-decode prints). onEvent runs after each line is
// recorded, so a test can feed bytes back in as a nested message loop would.
class RecordingHost : public ReceiverHost, public ReceiverObserver
{
public:
    QStringList events;
    std::function<void(const QString &event)> onEvent;

    // The surroundings; tests change them as they need.
    bool splashExists = true;
    bool splashTimerFired = true;
    bool measurementDialogVisible = false;
    bool pumpRunning = false;
    int shownPage = 0;

    // Windows the host holds open, to catch doubles and strays.
    int serviceWindows = 0;
    int noticeWindows = 0;

    void SendByte(std::uint8_t code) override { Record(u"send %1"_s.arg(code)); }
    void DisconnectPort() override { Record(u"disconnect"_s); }
    void ChannelReading(int channel, int rawValue) override
    {
        Record(u"reading %1 %2"_s.arg(channel).arg(rawValue));
    }
    void EnableMeasurementActions(bool enabled) override
    {
        Record(u"measure %1"_s.arg(int(enabled)));
    }
    void SetNewCarEnabled(bool enabled) override { Record(u"newcar %1"_s.arg(int(enabled))); }
    int ShownPageIndex() const override { return shownPage; }
    void CloseMainWindow() override { Record(u"mainwindow close"_s); }
    bool PumpRunning() const override { return pumpRunning; }
    void SetPumpState(bool running) override
    {
        pumpRunning = running;
        Record(u"pump %1"_s.arg(int(running)));
    }
    bool MeasurementDialogVisible() const override { return measurementDialogVisible; }
    void CloseMeasurementDialog() override
    {
        measurementDialogVisible = false;
        Record(u"measurement close"_s);
    }
    bool SplashExists() const override { return splashExists; }
    bool SplashTimerFired() const override { return splashTimerFired; }
    void CloseSplash() override
    {
        splashExists = false;
        Record(u"splash close"_s);
    }
    void ShowServiceWindow() override
    {
        ++serviceWindows;
        Record(u"service show"_s);
    }
    void CloseServiceWindow() override
    {
        --serviceWindows;
        Record(u"service close"_s);
    }
    void ShowNoticeWindow() override
    {
        ++noticeWindows;
        Record(u"notice show"_s);
    }
    void CloseNoticeWindow() override
    {
        --noticeWindows;
        Record(u"notice close"_s);
    }
    void StartWatchdog() override { Record(u"watchdog start"_s); }
    void StopWatchdog() override { Record(u"watchdog stop"_s); }
    void ShowWarningMessage(const QString &text) override { Record(u"message "_s + text); }

    void ReceiverStateChanged(TReceiverState state) override
    {
        Record(u"state "_s + ReceiverStateName(state));
    }
    void ZeroCaptureChanged(bool capture) override { Record(u"capture %1"_s.arg(int(capture))); }
    void CalibrationBlockCompleted() override { Record(u"block"_s); }
    void DiagnosticModeReported(int code) override { Record(u"diagnostic %1"_s.arg(code)); }

    QStringList TakeEvents() { return std::exchange(events, {}); }

private:
    void Record(const QString &event)
    {
        events << event;
        if (onEvent)
            onEvent(event);
    }
};

// "E0 2A 13 05" -> bytes
inline QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// "state rsStreaming;send 210" -> one event per item; "" -> none
inline QStringList Events(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(u';');
}

} // namespace kavro::test
