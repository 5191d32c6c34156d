#pragma once

#include "bytesource.h"
#include "calibrationblock.h"
#include "enginemodel.h"
#include "readingencoder.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <random>

namespace kavro::sim {

// The instrument's side of the protocol: what it sends on its own (live
// readings, notices) and how it answers the program's commands. Times are
// seconds since the session started; the caller asks for the next bytes
// whenever the line is free.
class ProtocolResponder : public ByteSource
{
public:
    struct Settings
    {
        int countdownStart = 300;
        double countdownWordSeconds = 0.025;
        bool startInCountdown = false; // the program joins a zero setting under way
        bool zeroPrefix = false; // the stream opens with zero bytes, then a countdown
        double maintenanceOnAt = -1; // negative: never
        double maintenanceOffAt = -1;
        double diagnosticAt = -1;
        std::uint8_t diagnosticCode = 150;
        double silentAfter = -1;
    };

    ProtocolResponder(const Settings &settings, const CalibrationBlock &block, EngineModel &engine,
        ReadingEncoder &encoder);

    void ReceiveCommand(std::uint8_t command) override;
    QByteArray NextChunk(double now) override;
    double NextDueTime() const override;

private:
    enum State { stMeasuring, stZeroSetting, stZeroReadings, stDiagnostic };

    void HandleCommand(std::uint8_t command);
    void StartZeroSetting(QByteArray lead, int firstWord);
    void AddScheduledNotices(double now);
    QByteArray NextCountdownWord(double now);
    QByteArray Frame(double now);
    std::uint8_t ModeCode() const;
    int CompensationRaw(double now) const;
    static void AppendReading(QByteArray &out, int channel, int raw);

    Settings m_settings;
    CalibrationBlock m_block;
    EngineModel &m_engine;
    ReadingEncoder &m_encoder;
    std::mt19937 m_jitter { 7 };

    State m_state = stMeasuring;
    QByteArray m_replies;
    QList<std::uint8_t> m_heldCommands; // commands that arrived during a zero setting
    bool m_maintenanceOnSent = false;
    bool m_maintenanceOffSent = false;
    bool m_silent = false;

    int m_countdownWord = 0;
    double m_nextWordDue = 0;
    double m_zeroReadingsSince = 0;
    bool m_blockSentSinceZeroSetting = false;
    int m_framesSinceBlock = 0;

    int m_lastCompensationRaw = 0; // the compensation reading the program holds
    ZeroLevels m_sentZero {};
    // The zero readings the program holds: the last zero-level readings
    // sent before code 128 (all 0 before the first zero setting).
    ZeroLevels m_programZero {};
};

} // namespace kavro::sim
