#include "protocol/instrumentreceiver.h"

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

// Bytes of the stream that begins with zeros.
constexpr quint8 ZeroPrefixFill = 0;
constexpr quint8 ZeroPrefixEnd = 1;

// Places in InstrumentImage that the receiver itself interprets.
constexpr int BlockStart = 128;
constexpr int PumpUpperHigh = 162; // upper bound: bytes 162, 163
constexpr int PumpUpperLowAndLowerHigh = 163; // byte 163 serves both bounds
constexpr int PumpLowerLow = 164; // lower bound: bytes 163, 164
constexpr int BlockEndPlain = 192; // 64 bytes at 128..191
constexpr int BlockEndAfterZeroPrefix = 193; // 65 bytes at 128..192, or an image 0..192

constexpr int ImagePosFoldAt = 3 * InstrumentImageSize;

// Detection looks at the first bytes of a pass only.
constexpr int DetectionWindow = 8;
constexpr int ReadingLength = 4; // channel select and three nibble bytes

constexpr int EmptyPage = 0; // tsEmpty: no vehicle registered yet

bool IsChannelSelect(quint8 b)
{
    using namespace InstrumentCode;
    return (b >= FirstChannelSelectLow && b < FirstChannelSelectLow + 8)
        || (b >= FirstChannelSelectHigh && b < FirstChannelSelectHigh + 8);
}

int ChannelOf(quint8 selectCode)
{
    using namespace InstrumentCode;
    return selectCode >= FirstChannelSelectHigh ? selectCode - FirstChannelSelectHigh + 8
                                                : selectCode - FirstChannelSelectLow;
}

int Word(quint8 low, quint8 high)
{
    return low + 256 * high;
}

} // namespace

QLatin1String ReceiverStateName(TReceiverState state)
{
    switch (state) {
    case rsDetecting:
        return QLatin1String("rsDetecting");
    case rsZeroPrefix:
        return QLatin1String("rsZeroPrefix");
    case rsCountdown:
        return QLatin1String("rsCountdown");
    case rsCalibrationBlock:
        return QLatin1String("rsCalibrationBlock");
    case rsStreaming:
        return QLatin1String("rsStreaming");
    case rsHalted:
        return QLatin1String("rsHalted");
    }
    return QLatin1String("?");
}

TInstrumentReceiver::TInstrumentReceiver(ReceiverData &data, ReceiverHost &host)
    : d(data)
    , m_host(host)
{ }

void TInstrumentReceiver::ResetForPortSetup()
{
    SetState(rsDetecting);
}

void TInstrumentReceiver::ReceiveByte(quint8 b)
{
    // The rest of a batch after a diagnostic mode code (the program is
    // closing) must not open a second message or touch closing windows.
    if (m_programEnding)
        return;
    switch (d.ReceiverState) {
    case rsDetecting:
        DetectingByte(b);
        break;
    case rsZeroPrefix:
        ZeroPrefixByte(b);
        break;
    case rsCountdown:
        CountdownByte(b);
        break;
    case rsCalibrationBlock:
        CalibrationBlockByte(b);
        break;
    case rsStreaming:
        StreamingByte(b);
        break;
    case rsHalted:
        break;
    }
}

// ---- rsDetecting: find where in its cycle the instrument is -------------

void TInstrumentReceiver::DetectingByte(quint8 b)
{
    d.LastModeCode = InstrumentCode::ModeEndZeroCapture;
    StoreAtImagePos(b);
    DetectStreamStart(d.ImagePos);
    if (d.ReceiverState == rsDetecting && d.ImagePos == InstrumentImageSize)
        d.ImagePos = 0; // a new pass overwrites the image from index 0
}

// Writes never leave the image: above 255 the position counts modulo 256.
// (ImagePos passes 256 when a loss of step is answered by detection at once,
// one byte per loss, and a pass that began above 256 never meets the wrap.)
void TInstrumentReceiver::StoreAtImagePos(quint8 b)
{
    d.InstrumentImage[static_cast<std::uint32_t>(d.ImagePos) % InstrumentImageSize] = b;
    ++d.ImagePos;
    // Detection tells only n = 2, 4, 5, 8 and 256 apart, so any two
    // positions above 256 with the same remainder act alike: stepping back
    // from 768 to 512 keeps the counter from overflowing and changes nothing.
    if (d.ImagePos >= ImagePosFoldAt)
        d.ImagePos -= InstrumentImageSize;
}

// n bytes of this pass are stored; the tests look only at bytes 0 to 7.
void TInstrumentReceiver::DetectStreamStart(int n)
{
    const TInstrumentImage &image = d.InstrumentImage;
    if (n == 2 && image[0] == 0 && image[1] == 0) {
        d.ZeroPrefixSeen = true;
        SetState(rsZeroPrefix);
        return;
    }
    if (n >= DetectionWindow && ReadingPatternInPass()) {
        SetState(rsStreaming);
        m_host.SendByte(InstrumentCode::StartZeroSetting);
        return;
    }
    // Two countdown words, joined at a word boundary or one byte into a word;
    // either way the next byte begins a new word.
    if ((n >= 4 && CountdownWordsAt(0)) || (n >= 5 && CountdownWordsAt(1))) {
        d.CountdownLowNext = true;
        EnterCountdown();
    }
}

// Two channel-select codes four bytes apart: the live reading pattern.
bool TInstrumentReceiver::ReadingPatternInPass() const
{
    for (std::size_t i = 0; i < ReadingLength; ++i) {
        if (IsChannelSelect(d.InstrumentImage[i])
            && IsChannelSelect(d.InstrumentImage[i + ReadingLength]))
            return true;
    }
    return false;
}

// Words low byte first at `first` and `first + 2`, the second less by one.
bool TInstrumentReceiver::CountdownWordsAt(int first) const
{
    const auto byteAt = [this](int i) { return d.InstrumentImage[static_cast<std::size_t>(i)]; };
    return Word(byteAt(first), byteAt(first + 1)) == Word(byteAt(first + 2), byteAt(first + 3)) + 1;
}

// The instrument runs its automatic zero setting: no new vehicle and no
// measurement meanwhile. Callers set CountdownLowNext first.
void TInstrumentReceiver::EnterCountdown()
{
    SetState(rsCountdown);
    m_host.SetNewCarEnabled(false);
    m_host.EnableMeasurementActions(false);
}

// ---- rsZeroPrefix: a stream that began with two zero bytes -----------------

void TInstrumentReceiver::ZeroPrefixByte(quint8 b)
{
    if (b == ZeroPrefixFill)
        return;
    if (b == ZeroPrefixEnd) {
        // The countdown follows; CountdownLowNext stays as it was.
        d.ImagePos = BlockStart;
        EnterCountdown();
        return;
    }
    // Not a zero prefix after all: skip the byte's slot and detect on.
    ++d.ImagePos;
    SetState(rsDetecting);
}

// ---- rsCountdown: words counting down to the end of the zero setting -------

// The byte takes its place in the word before the windows make way: closing
// and opening windows may run a nested message loop that delivers the next
// bytes, and those must find the word, and the state, as this byte left them.
void TInstrumentReceiver::CountdownByte(quint8 b)
{
    if (d.CountdownLowNext) {
        d.CountdownValue = static_cast<quint16>((d.CountdownValue & 0xFF00) | b);
        d.CountdownLowNext = false;
        MakeWayForServiceWindow();
        return;
    }
    CompleteCountdownWord(b);
}

// The measurement dialog closes (so the pump guard cannot fire during the
// countdown) and the splash, once its two seconds are over, gives way to
// the automatic zero setting window.
void TInstrumentReceiver::MakeWayForServiceWindow()
{
    const TReceiverState leftByThisByte = d.ReceiverState;
    if (m_host.MeasurementDialogVisible())
        m_host.CloseMeasurementDialog();
    if (m_host.SplashExists()) {
        if (!m_host.SplashTimerFired())
            return;
        m_host.CloseSplash();
    }
    // Bytes delivered meanwhile may have ended the countdown and closed the
    // window already; opened now, it would outlive the countdown.
    if (!m_serviceWindowOpen && d.ReceiverState == leftByThisByte)
        OpenServiceWindow();
}

void TInstrumentReceiver::CompleteCountdownWord(quint8 high)
{
    d.CountdownValue = static_cast<quint16>((high << 8) | (d.CountdownValue & 0x00FF));
    d.CountdownLowNext = true;
    const bool pumpInWindow = PumpWindowContains(d.CountdownValue);
    if (d.CountdownValue != 0) {
        MakeWayForServiceWindow();
        m_host.SetPumpState(pumpInWindow);
        return;
    }
    FinishCountdown(pumpInWindow);
}

// The instrument runs its pump while the countdown is inside the window
// given by its calibration bytes 162 to 164, bounds included.
bool TInstrumentReceiver::PumpWindowContains(int countdown) const
{
    const TInstrumentImage &image = d.InstrumentImage;
    const int upper = Word(image[PumpUpperLowAndLowerHigh], image[PumpUpperHigh]);
    const int lower = Word(image[PumpLowerLow], image[PumpUpperLowAndLowerHigh]);
    return lower <= countdown && countdown <= upper;
}

// The word 0: the zero setting has finished. Ask for the calibration block
// and capture the zero readings until the next operating mode 128.
void TInstrumentReceiver::FinishCountdown(bool pumpInWindow)
{
    // The windows and both SetPumpState calls (the pump guard's message) may
    // run a nested message loop that delivers further bytes: the data change
    // first and the observer hears of them afterwards, in their order.
    const TReceiverState stateBefore = d.ReceiverState;
    const bool captureBefore = d.ZeroCapture;
    d.ReceiverState = rsStreaming;
    d.ZeroCapture = true;

    MakeWayForServiceWindow();
    m_host.SetPumpState(pumpInWindow);
    AnnounceState(stateBefore, rsStreaming);
    m_host.SetPumpState(false);
    AnnounceZeroCapture(captureBefore, true);
    m_host.SendByte(InstrumentCode::CalibrationBlock);
    m_host.SetNewCarEnabled(true);
    if (m_host.ShownPageIndex() != EmptyPage)
        m_host.EnableMeasurementActions(true);
    if (m_serviceWindowOpen)
        CloseServiceWindow();
}

// ---- rsCalibrationBlock: the instrument's calibration data -----------------

void TInstrumentReceiver::CalibrationBlockByte(quint8 b)
{
    if (d.ImagePos < BlockEnd()) {
        StoreAtImagePos(b);
        return;
    }
    CompleteCalibrationBlock(); // the byte that finds the block complete is dropped
}

// After a zero prefix the instrument sends one byte more.
int TInstrumentReceiver::BlockEnd() const
{
    return d.ZeroPrefixSeen ? BlockEndAfterZeroPrefix : BlockEndPlain;
}

void TInstrumentReceiver::CompleteCalibrationBlock()
{
    d.BlockReceived = true;
    if (m_observer)
        m_observer->CalibrationBlockCompleted();

    // An instrument without calibration data: nothing more is processed, the
    // splash stays and keeps offering another port.
    if (d.InstrumentImage[BlockStart] == InstrumentCode::EmptyBlockMarker) {
        SetState(rsHalted);
        return;
    }
    // After a zero prefix whole images follow from index 0 while the zero
    // readings are captured; then detection starts over.
    if (d.ZeroPrefixSeen) {
        d.ImagePos = 0;
        if (!d.ZeroCapture)
            SetState(rsDetecting);
        return;
    }
    SetState(rsStreaming);
    if (m_host.SplashExists())
        m_host.CloseSplash();
    m_host.StartWatchdog();
}

// ---- rsStreaming: live readings and status codes ---------------------------

void TInstrumentReceiver::StreamingByte(quint8 b)
{
    namespace code = InstrumentCode;
    if (b < code::FirstStatusCode) {
        DataByte(b);
    } else if (b <= code::LastOperatingMode) {
        OperatingMode(b);
    } else if (b <= code::LastDiagnosticMode) {
        DiagnosticMode(b);
    } else if (IsChannelSelect(b)) {
        d.CurrentChannel = ChannelOf(b);
    } else if (b == code::NoticeOn) {
        ShowMaintenanceNotice();
    } else if (b == code::NoticeOff) {
        EndMaintenanceNotice();
    } else if (b == code::CalibrationBlock) {
        d.ImagePos = BlockStart;
        SetState(rsCalibrationBlock);
    } else if (b == code::PumpSwitch) {
        m_host.SetPumpState(!m_host.PumpRunning());
    } else if (b == code::StartZeroSetting) {
        BeginZeroSetting();
    }
    // Every other code has no meaning for the program.
}

// Bits 5 and 4 place the nibble (bits 0 to 3); bit 6 does not matter. The
// low nibble completes a reading; nibbles not resent keep their value.
void TInstrumentReceiver::DataByte(quint8 b)
{
    const int nibble = b & 0x0F;
    switch ((b >> 4) & 0x03) {
    case 0:
        d.ReadingValue = static_cast<quint16>((d.ReadingValue & 0xFF0) | nibble);
        m_host.ChannelReading(d.CurrentChannel, d.ReadingValue);
        break;
    case 1:
        d.ReadingValue = static_cast<quint16>((d.ReadingValue & 0xF0F) | (nibble << 4));
        break;
    case 2:
        d.ReadingValue = static_cast<quint16>((d.ReadingValue & 0x0FF) | (nibble << 8));
        break;
    default:
        break; // no fourth nibble
    }
}

// Operating mode 133 sends the readings to ZeroReadings, 128 ends that.
void TInstrumentReceiver::OperatingMode(quint8 code)
{
    d.LastModeCode = code;
    if (code == InstrumentCode::ModeEndZeroCapture)
        SetZeroCapture(false);
    else if (code == InstrumentCode::ModeZeroCapture)
        SetZeroCapture(true);
}

// A diagnostic mode is not supported: the program ends. The port closes
// before the message, so its nested loop delivers no further bytes.
void TInstrumentReceiver::DiagnosticMode(quint8 code)
{
    d.LastModeCode = code;
    m_programEnding = true;
    if (m_observer)
        m_observer->DiagnosticModeReported(code);
    m_host.DisconnectPort();
    m_host.StopWatchdog();
    m_host.ShowWarningMessage(
        u" Данная версия программы не поддерживает работу в режиме диагностики\r"
        u" Приложение будет закрыто"_s);
    m_host.CloseMainWindow();
}

// The instrument needs maintenance. It may fall silent meanwhile, so the
// watchdog stops. A notice already open is kept rather than stacked.
void TInstrumentReceiver::ShowMaintenanceNotice()
{
    m_host.SetNewCarEnabled(false);
    m_host.EnableMeasurementActions(false);
    if (!m_noticeWindowOpen) {
        m_noticeWindowOpen = true;
        m_host.ShowNoticeWindow();
    }
    m_host.StopWatchdog();
}

// The operator acknowledged the notice on the instrument. The measurement
// actions come back only with the next vehicle. Without an open notice the
// code means the receiver lost its step: detect again.
void TInstrumentReceiver::EndMaintenanceNotice()
{
    if (!m_noticeWindowOpen) {
        SetState(rsDetecting);
        return;
    }
    m_noticeWindowOpen = false;
    m_host.CloseNoticeWindow();
    m_host.SetNewCarEnabled(true);
    m_host.StartWatchdog();
}

// Only from an operating mode 128 to 133 does a zero setting start.
void TInstrumentReceiver::BeginZeroSetting()
{
    if (d.LastModeCode < InstrumentCode::ModeEndZeroCapture
        || d.LastModeCode > InstrumentCode::ModeZeroCapture)
        return;
    d.CountdownLowNext = true;
    EnterCountdown();
}

// ---- data changes the observer hears about ----------------------------------

void TInstrumentReceiver::SetState(TReceiverState state)
{
    const TReceiverState before = d.ReceiverState;
    d.ReceiverState = state;
    AnnounceState(before, state);
}

void TInstrumentReceiver::SetZeroCapture(bool capture)
{
    const bool before = d.ZeroCapture;
    d.ZeroCapture = capture;
    AnnounceZeroCapture(before, capture);
}

void TInstrumentReceiver::AnnounceState(TReceiverState from, TReceiverState to)
{
    if (m_observer && from != to)
        m_observer->ReceiverStateChanged(to);
}

void TInstrumentReceiver::AnnounceZeroCapture(bool from, bool to)
{
    if (m_observer && from != to)
        m_observer->ZeroCaptureChanged(to);
}

// ---- the windows the receiver keeps ---------------------------------------

// The flag changes before the host call, so that a byte delivered meanwhile
// neither opens a second window nor closes one twice.
void TInstrumentReceiver::OpenServiceWindow()
{
    m_serviceWindowOpen = true;
    m_host.ShowServiceWindow();
}

void TInstrumentReceiver::CloseServiceWindow()
{
    m_serviceWindowOpen = false;
    m_host.CloseServiceWindow();
}

} // namespace kavro
