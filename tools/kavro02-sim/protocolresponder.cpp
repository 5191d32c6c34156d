#include "protocolresponder.h"

#include "instrumentcodes.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace kavro::sim {

namespace {

// Raw readings of the CO and CH sensors with clean air in the cell.
constexpr int CoSensorZero = 372;
constexpr int ChSensorZero = 458;
constexpr int UnconvertedReading = 1900; // channel 5, not used by the program

// The compensation reading (channel 4) drifts slowly around 2440, the
// reading that leaves the gas values uncompensated.
constexpr int CompensationCentre = 2440;
constexpr int CompensationDrift = 12;
constexpr double CompensationPeriod = 60; // s

// After a zero setting the instrument sends zero-level readings until the
// program has its calibration block and a few frames more, at most 3 s.
constexpr int ZeroFramesAfterBlock = 3;
constexpr double ZeroReadingsLongest = 3;

QByteArray Bytes(std::initializer_list<std::uint8_t> bytes)
{
    QByteArray out;
    for (std::uint8_t byte : bytes)
        out.append(static_cast<char>(byte));
    return out;
}

} // namespace

ProtocolResponder::ProtocolResponder(const Settings &settings, const CalibrationBlock &block,
    EngineModel &engine, ReadingEncoder &encoder)
    : m_settings(settings)
    , m_block(block)
    , m_engine(engine)
    , m_encoder(encoder)
{
    const int start = settings.countdownStart;
    if (settings.zeroPrefix) {
        // Zero bytes, 1, then the high byte of the first word: the program
        // takes the byte after the 1 as the high byte of a countdown word.
        StartZeroSetting(Bytes({ 0, 0, 0, 1, static_cast<std::uint8_t>(start >> 8) }), start - 1);
    } else if (settings.startInCountdown) {
        // Joined in the middle of a word: its high byte comes first.
        StartZeroSetting(Bytes({ static_cast<std::uint8_t>((start + 1) >> 8) }), start);
    }
}

void ProtocolResponder::ReceiveCommand(std::uint8_t command)
{
    if (m_state == stZeroSetting)
        m_heldCommands.append(command); // answered when the zero setting is over
    else
        HandleCommand(command);
}

void ProtocolResponder::HandleCommand(std::uint8_t command)
{
    switch (command) {
    case code::ZeroSetting:
        StartZeroSetting(Bytes({ ModeCode(), code::ZeroSetting }), m_settings.countdownStart);
        break;
    case code::CalibrationBlock:
        m_replies.append(static_cast<char>(code::CalibrationBlock));
        m_replies.append(m_block.Bytes());
        m_replies.append(static_cast<char>(m_block.TrailerByte()));
        m_blockSentSinceZeroSetting = true;
        m_framesSinceBlock = 0;
        break;
    case code::PumpSwitch:
        m_engine.SetPump(!m_engine.PumpRunning());
        m_replies.append(static_cast<char>(code::PumpSwitch));
        break;
    default:
        break; // not a command of this instrument
    }
}

void ProtocolResponder::StartZeroSetting(QByteArray lead, int firstWord)
{
    m_state = stZeroSetting;
    m_replies.append(lead);
    m_countdownWord = std::max(firstWord, 0);
    m_nextWordDue = -std::numeric_limits<double>::infinity();
    m_engine.SetDrawingAmbientAir(true);
}

double ProtocolResponder::NextDueTime() const
{
    if (m_silent)
        return std::numeric_limits<double>::infinity();
    if (m_state == stZeroSetting && m_replies.isEmpty())
        return m_nextWordDue;
    return -std::numeric_limits<double>::infinity(); // the line is never idle otherwise
}

QByteArray ProtocolResponder::NextChunk(double now)
{
    m_engine.Advance(now);
    if (m_settings.silentAfter >= 0 && now >= m_settings.silentAfter)
        m_silent = true;
    if (m_silent)
        return {};

    if (m_state != stZeroSetting)
        AddScheduledNotices(now);
    QByteArray out = std::exchange(m_replies, {});
    if (m_state == stZeroSetting)
        out.append(NextCountdownWord(now));
    else
        out.append(Frame(now));
    return out;
}

void ProtocolResponder::AddScheduledNotices(double now)
{
    if (m_settings.maintenanceOnAt >= 0 && now >= m_settings.maintenanceOnAt
        && !m_maintenanceOnSent) {
        m_replies.append(static_cast<char>(code::MaintenanceNoticeOn));
        m_maintenanceOnSent = true;
    }
    if (m_maintenanceOnSent && m_settings.maintenanceOffAt >= 0
        && now >= m_settings.maintenanceOffAt && !m_maintenanceOffSent) {
        m_replies.append(static_cast<char>(code::MaintenanceNoticeOff));
        m_maintenanceOffSent = true;
    }
    if (m_settings.diagnosticAt >= 0 && now >= m_settings.diagnosticAt)
        m_state = stDiagnostic;
}

QByteArray ProtocolResponder::NextCountdownWord(double now)
{
    if (now < m_nextWordDue)
        return {};
    m_nextWordDue = std::max(m_nextWordDue, now) + m_settings.countdownWordSeconds;

    const int word = m_countdownWord;
    QByteArray out
        = Bytes({ static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8) });
    m_engine.SetPump(m_block.PumpWindowLower() <= word && word <= m_block.PumpWindowUpper());
    if (word > 0) {
        --m_countdownWord;
        return out;
    }

    // The zero setting is over: the pump stops and the zero levels follow.
    m_engine.SetPump(false);
    m_engine.SetDrawingAmbientAir(false);
    m_state = stZeroReadings;
    m_zeroReadingsSince = now;
    m_blockSentSinceZeroSetting = false;
    for (std::uint8_t command : std::exchange(m_heldCommands, {}))
        HandleCommand(command);
    return out;
}

std::uint8_t ProtocolResponder::ModeCode() const
{
    switch (m_state) {
    case stZeroReadings:
        return code::ModeZeroReadings;
    case stDiagnostic:
        return m_settings.diagnosticCode;
    default:
        return code::ModeMeasuring;
    }
}

int ProtocolResponder::CompensationRaw(double now) const
{
    // Changes once a second, so that the program's tables change rarely.
    const double phase = 2 * std::numbers::pi * std::floor(now) / CompensationPeriod;
    return CompensationCentre + static_cast<int>(std::lround(CompensationDrift * std::sin(phase)));
}

void ProtocolResponder::AppendReading(QByteArray &out, int channel, int raw)
{
    out.append(static_cast<char>(code::SelectChannel0 + channel));
    out.append(static_cast<char>(code::HighNibble | ((raw >> 8) & 0x0F)));
    out.append(static_cast<char>(code::MiddleNibble | ((raw >> 4) & 0x0F)));
    out.append(static_cast<char>(code::LowNibble | (raw & 0x0F)));
}

QByteArray ProtocolResponder::Frame(double now)
{
    if (m_state == stZeroReadings) {
        const bool blockDone
            = m_blockSentSinceZeroSetting && m_framesSinceBlock >= ZeroFramesAfterBlock;
        if (blockDone || now - m_zeroReadingsSince >= ZeroReadingsLongest) {
            m_state = stMeasuring;
            m_programZero = m_sentZero; // the program stops capturing at code 128
        }
    }
    ++m_framesSinceBlock;

    const PhysicalValues values = m_engine.Sample();
    // CO2, CO and CH are converted with the compensation reading of the
    // previous frame: channel 4 comes after them.
    const int compensation = m_lastCompensationRaw;
    std::array<int, LiveChannelCount> raw {};
    raw[chCO2] = m_encoder.Encode(chCO2, values.co2, m_programZero, compensation);
    raw[chO2] = m_encoder.Encode(chO2, values.o2, m_programZero, compensation);
    raw[chCompensation] = CompensationRaw(now);
    raw[chUnconverted] = UnconvertedReading;
    raw[chEngineSpeed] = m_encoder.Encode(chEngineSpeed, values.rpm, m_programZero, compensation);
    raw[chTemperature]
        = m_encoder.Encode(chTemperature, values.temperature, m_programZero, compensation);
    if (m_state == stZeroReadings) {
        std::uniform_int_distribution<int> jitter(-1, 1);
        raw[chCO] = CoSensorZero + jitter(m_jitter);
        raw[chCH] = ChSensorZero + jitter(m_jitter);
    } else {
        raw[chCO] = m_encoder.Encode(chCO, values.co, m_programZero, compensation);
        raw[chCH] = m_encoder.Encode(chCH, values.ch, m_programZero, compensation);
    }

    QByteArray out(1, static_cast<char>(ModeCode()));
    for (int channel = 0; channel < LiveChannelCount; ++channel)
        AppendReading(out, channel, raw[static_cast<std::size_t>(channel)]);
    if (m_state == stZeroReadings) {
        for (int channel = 0; channel < LiveChannelCount; ++channel)
            m_sentZero[static_cast<std::size_t>(channel)] = raw[static_cast<std::size_t>(channel)];
    }
    m_lastCompensationRaw = raw[chCompensation];
    return out;
}

} // namespace kavro::sim
