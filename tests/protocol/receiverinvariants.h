#pragma once

// Checks on the instrument receiver from the outside, shared by the random
// stream test (tst_receiverrobustness) and the fuzzer (fuzz/fuzz_receiver):
//
// - InstrumentImage changes only where the receiver's rules put a byte: at
//   ImagePos (modulo 256) while detecting, at 128..191 (192 after a zero
//   prefix) in a calibration block;
// - the data stay in range: state, ImagePos, channel, 12-bit reading value;
//   ZeroPrefixSeen and BlockReceived, once set, stay set;
// - every change of ReceiverState is one of the receiver's transitions, for
//   the byte and the data that allow it, at most one per byte; bytes that a
//   host call delivers (as a nested message loop does) answer for their own
//   changes; a halted receiver calls nothing;
// - readings have a channel 0 to 15 and a value 0 to 4095;
// - at most one service and one notice window is open, and none is closed
//   that was not open.
//
// A host calls BeforeByte and AfterByte around every ReceiveByte (nested
// ones included) and HostCall at the start of each of its own calls.

#include "protocol/instrumentcodes.h"
#include "protocol/receiverdata.h"

#include <QByteArray>
#include <QList>

namespace kavro::test {

class ReceiverInvariants
{
public:
    // A new receiver on these data (windows closed, splash open).
    void Attach(const ReceiverData &data)
    {
        m_data = &data;
        m_shadow = data.InstrumentImage;
        m_frames.clear();
        m_zeroPrefixSeen = data.ZeroPrefixSeen;
        m_blockReceived = data.BlockReceived;
        serviceWindows = noticeWindows = 0;
    }

    void BeforeByte(quint8 b)
    {
        ++bytes;
        ExpectWrite(b);
        m_frames.append({ b, *m_data, noticeWindows > 0, 0 });
    }

    void AfterByte()
    {
        Observe();
        m_frames.removeLast();
        // What the bytes delivered during a host call changed is theirs.
        if (!m_frames.isEmpty())
            Remember(m_frames.last());
        CheckData();
        if (m_frames.isEmpty() && m_shadow != m_data->InstrumentImage)
            Fail("image written outside the protocol's place");
    }

    void HostCall()
    {
        if (!m_frames.isEmpty() && m_frames.last().seen.ReceiverState == rsHalted)
            Fail("a halted receiver called its host");
        Observe();
        CheckData();
    }

    void Reading(int channel, int rawValue)
    {
        ++readings;
        if (channel < 0 || channel > 15 || rawValue < 0 || rawValue > 4095)
            Fail("reading out of range");
    }

    void ServiceWindowShown()
    {
        if (++serviceWindows > 1)
            Fail("second service window");
    }
    void ServiceWindowClosed()
    {
        if (--serviceWindows < 0)
            Fail("service window closed that was not open");
    }
    void NoticeWindowShown()
    {
        if (++noticeWindows > 1)
            Fail("second notice window");
    }
    void NoticeWindowClosed()
    {
        if (--noticeWindows < 0)
            Fail("notice window closed that was not open");
    }

    void Fail(const char *what)
    {
        if (failure.isEmpty())
            failure = QByteArray(what) + " after " + QByteArray::number(bytes) + " bytes";
    }

    QByteArray failure;
    qint64 bytes = 0;
    qint64 readings = 0;
    qint64 transitions = 0;
    int serviceWindows = 0;
    int noticeWindows = 0;

private:
    // A byte being processed, and the data as it last saw them: when it
    // began, at its last host call, or after bytes delivered meanwhile.
    struct Frame
    {
        quint8 byte;
        ReceiverData seen;
        bool noticeWindowOpen;
        int stateChanges;
    };

    static bool IsChannelSelect(quint8 b)
    {
        using namespace InstrumentCode;
        return (b >= FirstChannelSelectLow && b < FirstChannelSelectLow + 8)
            || (b >= FirstChannelSelectHigh && b < FirstChannelSelectHigh + 8);
    }

    static int BlockEnd(const ReceiverData &d) { return d.ZeroPrefixSeen ? 193 : 192; }

    void ExpectWrite(quint8 b)
    {
        const ReceiverData &d = *m_data;
        const int pos = d.ImagePos;
        if (d.ReceiverState == rsDetecting)
            m_shadow[static_cast<std::size_t>(pos % InstrumentImageSize)] = b;
        else if (d.ReceiverState == rsCalibrationBlock && pos < BlockEnd(d))
            m_shadow[static_cast<std::size_t>(pos)] = b;
    }

    void Remember(Frame &frame) const
    {
        frame.seen = *m_data;
        frame.noticeWindowOpen = noticeWindows > 0;
    }

    // A byte changes the state at most once, and only as a transition
    // allows for the byte and the data it found.
    void Observe()
    {
        if (m_frames.isEmpty())
            return;
        Frame &frame = m_frames.last();
        if (m_data->ReceiverState != frame.seen.ReceiverState) {
            ++transitions;
            if (++frame.stateChanges > 1)
                Fail("one byte changed the state twice");
            if (!TransitionAllowed(frame, *m_data))
                Fail("state change the receiver's transitions do not allow");
        }
        Remember(frame);
    }

    static bool TransitionAllowed(const Frame &frame, const ReceiverData &after)
    {
        const ReceiverData &before = frame.seen;
        const quint8 b = frame.byte;
        const auto &image = after.InstrumentImage;
        const auto word
            = [&image](int i) { return image[std::size_t(i)] + 256 * image[std::size_t(i + 1)]; };
        switch (before.ReceiverState) {
        case rsDetecting: {
            const int n = after.ImagePos; // bytes stored in this pass
            switch (after.ReceiverState) {
            case rsZeroPrefix:
                return n == 2 && image[0] == 0 && image[1] == 0 && after.ZeroPrefixSeen;
            case rsStreaming:
                if (n < 8)
                    return false;
                for (std::size_t i = 0; i < 4; ++i) {
                    if (IsChannelSelect(image[i]) && IsChannelSelect(image[i + 4]))
                        return true;
                }
                return false;
            case rsCountdown:
                return after.CountdownLowNext
                    && ((n >= 4 && word(0) == word(2) + 1) || (n >= 5 && word(1) == word(3) + 1));
            default:
                return false;
            }
        }
        case rsZeroPrefix:
            if (after.ReceiverState == rsCountdown)
                return b == 1 && after.ImagePos == 128;
            if (after.ReceiverState == rsDetecting)
                return b >= 2 && after.ImagePos == before.ImagePos + 1;
            return false;
        case rsCountdown:
            return after.ReceiverState == rsStreaming && !before.CountdownLowNext
                && after.CountdownValue == 0 && after.ZeroCapture;
        case rsStreaming:
            switch (after.ReceiverState) {
            case rsCalibrationBlock:
                return b == InstrumentCode::CalibrationBlock && after.ImagePos == 128;
            case rsCountdown:
                return b == InstrumentCode::StartZeroSetting
                    && before.LastModeCode >= InstrumentCode::ModeEndZeroCapture
                    && before.LastModeCode <= InstrumentCode::ModeZeroCapture
                    && after.CountdownLowNext;
            case rsDetecting:
                return b == InstrumentCode::NoticeOff && !frame.noticeWindowOpen;
            default:
                return false;
            }
        case rsCalibrationBlock: {
            const bool complete = before.ImagePos >= BlockEnd(before) && after.BlockReceived;
            const bool empty = image[128] == InstrumentCode::EmptyBlockMarker;
            switch (after.ReceiverState) {
            case rsHalted:
                return complete && empty;
            case rsDetecting:
                return complete && !empty && before.ZeroPrefixSeen && !before.ZeroCapture
                    && after.ImagePos == 0;
            case rsStreaming:
                return complete && !empty && !before.ZeroPrefixSeen;
            default:
                return false;
            }
        }
        case rsHalted:
            return false;
        }
        return false;
    }

    void CheckData()
    {
        const ReceiverData &d = *m_data;
        if (d.ReceiverState < rsDetecting || d.ReceiverState > rsHalted)
            Fail("invalid state");
        if (d.ImagePos < 0 || d.ImagePos >= 3 * InstrumentImageSize)
            Fail("ImagePos out of bounds");
        if (d.ReceiverState == rsCalibrationBlock && d.ImagePos > 193)
            Fail("block position beyond 193");
        if (d.CurrentChannel < 0 || d.CurrentChannel > 15)
            Fail("channel out of range");
        if (d.ReadingValue > 4095)
            Fail("reading value beyond 12 bits");
        if ((m_zeroPrefixSeen && !d.ZeroPrefixSeen) || (m_blockReceived && !d.BlockReceived))
            Fail("a flag that stays set was cleared");
        m_zeroPrefixSeen = d.ZeroPrefixSeen;
        m_blockReceived = d.BlockReceived;
    }

    const ReceiverData *m_data = nullptr;
    TInstrumentImage m_shadow {};
    QList<Frame> m_frames;
    bool m_zeroPrefixSeen = false;
    bool m_blockReceived = false;
};

} // namespace kavro::test
