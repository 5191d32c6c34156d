#pragma once

// A host that plays the program around the instrument receiver and changes
// its surroundings under the receiver's feet, shared by the random stream
// test (tst_receiverrobustness) and the fuzzer (fuzz/fuzz_receiver): on its
// calls the measurement dialog comes and goes, the splash timer fires or
// not, another page is shown, the pump switches, and nested message loops
// deliver further bytes of the input into ReceiveByte. Every call is checked
// from inside (receiverinvariants.h).
//
// A subclass says where its whims and its further bytes come from, and what
// the program does with a reading.

#include "protocol/instrumentreceiver.h"
#include "protocol/receiverinvariants.h"

#include <cstdint>

namespace kavro::test {

class DisturbingHost : public ReceiverHost
{
public:
    // One in whimRange calls changes each of the four surroundings, and
    // nestingWhims in whimRange deliver one to three further bytes.
    DisturbingHost(unsigned whimRange, unsigned nestingWhims)
        : m_whimRange(whimRange)
        , m_nestingWhims(nestingWhims)
    { }

    // A new receiver on these data (windows closed, splash open).
    void Attach(TInstrumentReceiver &receiver, ReceiverData &data)
    {
        m_attachedReceiver = &receiver;
        m_attachedData = &data;
        checks.Attach(data);
        splashExists = true;
        programEnded = false;
    }

    // One byte as the port's receive handler delivers it.
    void Deliver(std::uint8_t b)
    {
        checks.BeforeByte(b);
        m_attachedReceiver->ReceiveByte(b);
        checks.AfterByte();
    }

    // The windows the receiver says are open are the ones it opened.
    void CheckWindows()
    {
        if (checks.serviceWindows != int(m_attachedReceiver->ServiceWindowOpen())
            || checks.noticeWindows != int(m_attachedReceiver->NoticeWindowOpen()))
            checks.Fail("the receiver lost track of its windows");
    }

    ReceiverInvariants checks;
    bool splashExists = true;
    bool programEnded = false;

    // ReceiverHost
    void SendByte(std::uint8_t) override { Disturb(); }
    void DisconnectPort() override { checks.HostCall(); }
    void ChannelReading(int channel, int rawValue) override
    {
        checks.HostCall();
        checks.Reading(channel, rawValue);
        TakeReading(channel, rawValue);
        Disturb();
    }
    void EnableMeasurementActions(bool) override { Disturb(); }
    void SetNewCarEnabled(bool) override { Disturb(); }
    int ShownPageIndex() const override { return m_page; }
    void CloseMainWindow() override
    {
        checks.HostCall();
        programEnded = true;
    }
    bool PumpRunning() const override { return m_pump; }
    void SetPumpState(bool running) override
    {
        m_pump = running;
        Disturb();
    }
    bool MeasurementDialogVisible() const override { return m_measurementVisible; }
    void CloseMeasurementDialog() override
    {
        m_measurementVisible = false;
        Disturb();
    }
    bool SplashExists() const override { return splashExists; }
    bool SplashTimerFired() const override { return m_timerFired; }
    void CloseSplash() override
    {
        if (!splashExists)
            checks.Fail("splash closed twice");
        splashExists = false;
        Disturb();
    }
    void ShowServiceWindow() override
    {
        checks.ServiceWindowShown();
        Disturb();
    }
    void CloseServiceWindow() override
    {
        checks.ServiceWindowClosed();
        Disturb();
    }
    void ShowNoticeWindow() override
    {
        checks.NoticeWindowShown();
        Disturb();
    }
    void CloseNoticeWindow() override
    {
        checks.NoticeWindowClosed();
        Disturb();
    }
    void StartWatchdog() override { Disturb(); }
    void StopWatchdog() override { Disturb(); }
    void ShowWarningMessage(const QString &) override { checks.HostCall(); }

protected:
    // A whim: a number below n, the same sequence for the same input.
    virtual unsigned Below(unsigned n) = 0;
    // Delivers the next byte of the input as a nested message loop does;
    // false when the input has none left.
    virtual bool DeliverNested() = 0;
    // What the program does with a reading, after the checks.
    virtual void TakeReading(int channel, int rawValue) = 0;

    ReceiverData &Data() const { return *m_attachedData; }

private:
    // The windows change and nested message loops deliver further bytes.
    void Disturb()
    {
        checks.HostCall();
        const unsigned whim = Below(m_whimRange);
        switch (whim) {
        case 0:
            m_measurementVisible = !m_measurementVisible;
            return;
        case 1:
            m_timerFired = !m_timerFired;
            return;
        case 2:
            m_page = static_cast<int>(Below(4));
            return;
        case 3:
            m_pump = !m_pump;
            return;
        default:
            break;
        }
        if (whim - 4 < m_nestingWhims && m_depth < 3 && !programEnded) {
            ++m_depth;
            for (unsigned n = 1 + Below(3); n > 0; --n) {
                if (!DeliverNested())
                    break;
            }
            --m_depth;
        }
    }

    TInstrumentReceiver *m_attachedReceiver = nullptr;
    ReceiverData *m_attachedData = nullptr;
    unsigned m_whimRange;
    unsigned m_nestingWhims;
    bool m_measurementVisible = false;
    bool m_timerFired = true;
    bool m_pump = false;
    int m_page = 0;
    int m_depth = 0;
};

} // namespace kavro::test
