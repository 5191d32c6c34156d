// Any bytes through the instrument receiver, the reading dispatch and the
// conversions, as the program's port hands them over. The host plays the
// program: its surroundings (measurement dialog, splash timer, page, pump)
// change as the input decides, and some of its calls deliver the next
// bytes of the input themselves, as the program's nested message loops do.
// It checks from inside every call (tests/protocol/receiverinvariants.h):
// image writes only where the protocol puts them, data in range, state
// changes only as the receiver's transitions allow, readings with channel
// 0 to 15 and raw value 0 to 4095, at most one service and notice window.
// The converted values are finite, and no larger than InvalidValue (the
// largest a conversion can give, "no value"), λ excepted.
//
// The arrays are bounds-checked (_GLIBCXX_ASSERTIONS, see CMakeLists.txt).

#include "compute/readingdispatch.h"
#include "protocol/instrumentreceiver.h"
#include "protocol/receiverinvariants.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace kavro;

// The host's whims, the same for the same input.
class Whims
{
public:
    explicit Whims(const std::uint8_t *data, std::size_t size)
    {
        std::uint64_t hash = 14695981039346656037u; // FNV-1a
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ data[i]) * 1099511628211u;
        m_state = hash | 1;
    }

    unsigned Below(unsigned n)
    {
        m_state ^= m_state << 13; // xorshift64
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<unsigned>(m_state % n);
    }

private:
    std::uint64_t m_state;
};

class FuzzHost : public ReceiverHost, public ReadingSink
{
public:
    FuzzHost(const std::uint8_t *data, std::size_t size)
        : m_input(data)
        , m_size(size)
        , m_whims(data, size)
        , m_receiver(m_data, *this)
        , m_dispatch(m_data, *this)
    {
        m_checks.Attach(m_data);
    }

    void Run()
    {
        while (m_next < m_size && !m_programEnded) {
            DeliverNext();
            // The port set-up is the only way out of a halt.
            if (m_data.ReceiverState == rsHalted && m_whims.Below(64) == 0)
                m_receiver.ResetForPortSetup();
        }
        if (m_checks.serviceWindows != int(m_receiver.ServiceWindowOpen())
            || m_checks.noticeWindows != int(m_receiver.NoticeWindowOpen()))
            m_checks.Fail("the receiver lost track of its windows");
        Verdict();
    }

    // ReceiverHost
    void SendByte(std::uint8_t) override { Disturb(); }
    void DisconnectPort() override { m_checks.HostCall(); }
    void ChannelReading(int channel, int rawValue) override
    {
        m_checks.HostCall();
        m_checks.Reading(channel, rawValue);
        m_dispatch.ChannelReading(channel, rawValue);
        Disturb();
    }
    void EnableMeasurementActions(bool) override { Disturb(); }
    void SetNewCarEnabled(bool) override { Disturb(); }
    int ShownPageIndex() const override { return m_page; }
    void CloseMainWindow() override
    {
        m_checks.HostCall();
        m_programEnded = true;
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
    bool SplashExists() const override { return m_splashExists; }
    bool SplashTimerFired() const override { return m_timerFired; }
    void CloseSplash() override
    {
        if (!m_splashExists)
            m_checks.Fail("splash closed twice");
        m_splashExists = false;
        Disturb();
    }
    void ShowServiceWindow() override
    {
        m_checks.ServiceWindowShown();
        Disturb();
    }
    void CloseServiceWindow() override
    {
        m_checks.ServiceWindowClosed();
        Disturb();
    }
    void ShowNoticeWindow() override
    {
        m_checks.NoticeWindowShown();
        Disturb();
    }
    void CloseNoticeWindow() override
    {
        m_checks.NoticeWindowClosed();
        Disturb();
    }
    void StartWatchdog() override { Disturb(); }
    void StopWatchdog() override { Disturb(); }
    void ShowWarningMessage(const QString &) override { m_checks.HostCall(); }

    // ReadingSink
    void ShowValue(int quantity, double value) override
    {
        if (!IsQuantity(quantity))
            m_checks.Fail("quantity out of range");
        if (!std::isfinite(value))
            m_checks.Fail("converted value not finite");
        if (quantity != qnLambda && std::abs(value) > double(InvalidValue))
            m_checks.Fail("converted value beyond InvalidValue");
    }
    void ZeroReadingStored(int channel, int rawValue) override
    {
        if (!m_data.ZeroCapture || channel < 0 || channel >= ZeroReadingChannels
            || m_data.ZeroReadings[std::size_t(channel)] != rawValue)
            m_checks.Fail("zero reading stored wrongly");
    }

private:
    void DeliverNext()
    {
        const std::uint8_t b = m_input[m_next++];
        m_checks.BeforeByte(b);
        m_receiver.ReceiveByte(b);
        m_checks.AfterByte();
        Verdict();
    }

    void Verdict() const
    {
        if (m_checks.failure.isEmpty())
            return;
        std::fprintf(stderr, "receiver check failed: %s\n", m_checks.failure.constData());
        std::abort();
    }

    // The windows change, and nested message loops deliver further bytes.
    void Disturb()
    {
        m_checks.HostCall();
        switch (m_whims.Below(32)) {
        case 0:
            m_measurementVisible = !m_measurementVisible;
            break;
        case 1:
            m_timerFired = !m_timerFired;
            break;
        case 2:
            m_page = static_cast<int>(m_whims.Below(4));
            break;
        case 3:
            m_pump = !m_pump;
            break;
        case 4:
            if (m_depth < 3 && !m_programEnded) {
                ++m_depth;
                for (unsigned n = 1 + m_whims.Below(3); n > 0 && m_next < m_size; --n)
                    DeliverNext();
                --m_depth;
            }
            break;
        default:
            break;
        }
    }

    const std::uint8_t *m_input;
    std::size_t m_size;
    std::size_t m_next = 0;
    Whims m_whims;
    ReceiverData m_data;
    test::ReceiverInvariants m_checks;
    TInstrumentReceiver m_receiver;
    ReadingDispatch m_dispatch;
    bool m_measurementVisible = false;
    bool m_timerFired = true;
    bool m_splashExists = true;
    bool m_pump = false;
    bool m_programEnded = false;
    int m_page = 0;
    int m_depth = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzHost host(data, size);
    host.Run();
    return 0;
}
