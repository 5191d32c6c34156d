// Any bytes through the instrument receiver, the reading dispatch and the
// conversions, as the program's port hands them over. The host plays the
// program: its surroundings (measurement dialog, splash timer, page, pump)
// change as the input decides, and some of its calls deliver the next
// bytes of the input themselves, as the program's nested message loops do.
// The host is the robustness test's (tests/protocol/disturbinghost.h); it
// checks from inside every call (receiverinvariants.h): image writes only
// where the protocol puts them, data in range, state changes only as the
// receiver's transitions allow, readings with channel 0 to 15 and raw value
// 0 to 4095, at most one service and notice window.
// The converted values are finite, and no larger than InvalidValue (the
// largest a conversion can give, "no value"), λ excepted.
//
// The arrays are bounds-checked (_GLIBCXX_ASSERTIONS, see CMakeLists.txt).

#include "compute/readingdispatch.h"
#include "protocol/disturbinghost.h"
#include "protocol/instrumentreceiver.h"

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

// Its whims and its nested bytes come from the input; readings go on
// through the reading dispatch and the conversions.
class FuzzHost : public test::DisturbingHost, public ReadingSink
{
public:
    FuzzHost(const std::uint8_t *data, std::size_t size)
        : DisturbingHost(32, 1)
        , m_input(data)
        , m_size(size)
        , m_whims(data, size)
        , m_receiver(m_data, *this)
        , m_dispatch(m_data, *this)
    {
        Attach(m_receiver, m_data);
    }

    void Run()
    {
        while (m_next < m_size && !programEnded) {
            DeliverNext();
            // The port set-up is the only way out of a halt.
            if (m_data.ReceiverState == rsHalted && m_whims.Below(64) == 0)
                m_receiver.ResetForPortSetup();
        }
        CheckWindows();
        Verdict();
    }

    // ReadingSink
    void ShowValue(int quantity, double value) override
    {
        if (!IsQuantity(quantity))
            checks.Fail("quantity out of range");
        if (!std::isfinite(value))
            checks.Fail("converted value not finite");
        if (quantity != qnLambda && std::abs(value) > double(InvalidValue))
            checks.Fail("converted value beyond InvalidValue");
    }
    void ZeroReadingStored(int channel, int rawValue) override
    {
        if (!m_data.ZeroCapture || channel < 0 || channel >= ZeroReadingChannels
            || m_data.ZeroReadings[std::size_t(channel)] != rawValue)
            checks.Fail("zero reading stored wrongly");
    }

private:
    unsigned Below(unsigned n) override { return m_whims.Below(n); }
    bool DeliverNested() override
    {
        if (m_next >= m_size)
            return false;
        DeliverNext();
        return true;
    }
    void TakeReading(int channel, int rawValue) override
    {
        m_dispatch.ChannelReading(channel, rawValue);
    }

    void DeliverNext()
    {
        Deliver(m_input[m_next++]);
        Verdict();
    }

    void Verdict() const
    {
        if (checks.failure.isEmpty())
            return;
        std::fprintf(stderr, "receiver check failed: %s\n", checks.failure.constData());
        std::abort();
    }

    const std::uint8_t *m_input;
    std::size_t m_size;
    std::size_t m_next = 0;
    Whims m_whims;
    ReceiverData m_data;
    TInstrumentReceiver m_receiver;
    ReadingDispatch m_dispatch;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzHost host(data, size);
    host.Run();
    return 0;
}
