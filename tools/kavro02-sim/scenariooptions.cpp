#include "scenariooptions.h"

#include <QCommandLineParser>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace kavro::sim {

namespace {

constexpr std::uint8_t FirstDiagnosticCode = 144;
constexpr std::uint8_t LastDiagnosticCode = 175;
constexpr double MaintenanceNoticeDefaultSeconds = 10;

class OptionReader
{
public:
    explicit OptionReader(QCommandLineParser &parser)
        : m_parser(parser)
    { }

    // A non-negative number of seconds (or any number within the bounds).
    void Number(const QString &name, double &target, double low = 0,
        double high = std::numeric_limits<double>::max())
    {
        if (!m_parser.isSet(name))
            return;
        bool ok = false;
        const double value = m_parser.value(name).toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < low || value > high) {
            Fail(u"--"_s + name + u": expected a number from "_s + QString::number(low) + u" to "_s
                + QString::number(high) + u", got \""_s + m_parser.value(name) + u"\""_s);
            return;
        }
        target = value;
    }

    template<typename Integer>
    void Whole(const QString &name, Integer &target, qint64 low, qint64 high)
    {
        double value = static_cast<double>(target);
        Number(name, value, static_cast<double>(low), static_cast<double>(high));
        if (value != std::floor(value))
            Fail(u"--"_s + name + u": expected a whole number"_s);
        target = static_cast<Integer>(value);
    }

    void Fail(const QString &error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }
    const QString &Error() const { return m_error; }

private:
    QCommandLineParser &m_parser;
    QString m_error;
};

std::optional<int> ParseByte(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 0); // decimal or 0x..
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

// "T:CODE,T:CODE,...", for example "0.1:210,0.5:196".
std::optional<QList<ScriptedCommand>> ParseCommands(const QString &text)
{
    QList<ScriptedCommand> commands;
    for (const QString &item : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        bool timeOk = false;
        const double at = parts.value(0).trimmed().toDouble(&timeOk);
        const std::optional<int> code = ParseByte(parts.value(1));
        if (parts.size() != 2 || !timeOk || at < 0 || !code)
            return std::nullopt;
        commands.append({ at, static_cast<std::uint8_t>(*code) });
    }
    std::stable_sort(commands.begin(), commands.end(),
        [](const ScriptedCommand &a, const ScriptedCommand &b) { return a.at < b.at; });
    return commands;
}

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Plays the gas analyser on a pseudo-terminal: live readings, automatic zero setting, "
        "calibration block, pump. Prints the device path. Lines on standard input steer the "
        "engine (h: increased idle, i: minimum idle, empty line: switch); so does SIGUSR1. "
        "Session times count from the moment the program opens the device; the program drops "
        "what arrives in its first two seconds, so scenarios that matter from the first byte "
        "(--mid-countdown, --zero-prefix) want --start-after 2.5."_s);
    parser.addHelpOption();
    parser.addOptions({
        { u"link"_s, u"Make the device reachable at PATH (a symbolic link)."_s, u"PATH"_s },
        { u"output"_s,
            u"Write the instrument's bytes to FILE instead of a pseudo-terminal "
            "(needs --duration; commands come from --commands)."_s,
            u"FILE"_s },
        { u"commands"_s,
            u"Commands of the program played at session times, e.g. "
            "\"0.1:210,0.5:196,0.6:208\"."_s,
            u"LIST"_s },
        { u"duration"_s, u"End the session after SECONDS of session time."_s, u"SECONDS"_s },
        { u"fast"_s, u"Send as fast as the line takes the bytes (no 960 bytes/s pacing)."_s },
        { u"log"_s,
            u"Log the bytes received from the program to FILE (default: standard "
            "error)."_s,
            u"FILE"_s },
        { u"program-folder"_s,
            u"Point COM1 of the program in DIR at the device: its settings "
            "file gets COM = 0 and Ports/COM1 = the link (or device)."_s,
            u"DIR"_s },
        { u"exit-with-pid"_s, u"End when the process PID has ended."_s, u"PID"_s },
        { u"start-after"_s, u"Stay silent for SECONDS after the program opened the device."_s,
            u"SECONDS"_s },
        { u"cycle"_s, u"Switch between minimum and increased idle every SECONDS."_s, u"SECONDS"_s },
        { u"raised"_s, u"Start at increased idle speed."_s },
        { u"warm"_s, u"Start with the engine warm."_s },
        { u"warm-up"_s, u"Warm-up time of the engine (default 180)."_s, u"SECONDS"_s },
        { u"noise"_s, u"Noise of the readings, 0 for none (default 1)."_s, u"FACTOR"_s },
        { u"seed"_s, u"Seed of the noise (default 1)."_s, u"N"_s },
        { u"countdown"_s, u"First word of the zero setting's countdown (default 300)."_s, u"N"_s },
        { u"countdown-interval"_s, u"Time between countdown words (default 25)."_s, u"MS"_s },
        { u"mid-countdown"_s, u"Start in the middle of a zero setting."_s },
        { u"zero-prefix"_s, u"Start with zero bytes and a countdown."_s },
        { u"empty-block"_s, u"Send an empty calibration block (first byte 255)."_s },
        { u"maintenance"_s,
            u"Send the maintenance notice (193) at AT seconds and end it (194) "
            "at UNTIL (default AT + 10)."_s,
            u"AT[:UNTIL]"_s },
        { u"diagnostic"_s,
            u"Switch to a diagnostic mode (code 144 to 175, default 150) at AT "
            "seconds."_s,
            u"AT[:CODE]"_s },
        { u"silent-after"_s, u"Fall silent after SECONDS."_s, u"SECONDS"_s },
        { u"replay"_s,
            u"Play the line capture FILE (kavro02 --capture) instead of a scenario: its bytes at "
            "their recorded pace from the moment the program opens the device (with --fast as "
            "fast as the line takes them), whatever the program sends; then stay silent. The "
            "program drops what arrives in its first two seconds, as it did when it made the "
            "capture; --start-after 2.5 gives it the whole capture."_s,
            u"FILE"_s },
    });
}

// A replay sends what was recorded: nothing of the simulated instrument applies.
void RefuseScenarioWithReplay(QCommandLineParser &parser, OptionReader &reader)
{
    static const QStringList scenario { u"commands"_s, u"cycle"_s, u"raised"_s, u"warm"_s,
        u"warm-up"_s, u"noise"_s, u"seed"_s, u"countdown"_s, u"countdown-interval"_s,
        u"mid-countdown"_s, u"zero-prefix"_s, u"empty-block"_s, u"maintenance"_s, u"diagnostic"_s,
        u"silent-after"_s };
    for (const QString &name : scenario) {
        if (parser.isSet(name))
            reader.Fail(
                u"--replay plays the capture as recorded; --"_s + name + u" does not apply"_s);
    }
}

void ReadMaintenance(QCommandLineParser &parser, OptionReader &reader, ScenarioOptions &options)
{
    if (!parser.isSet(u"maintenance"_s))
        return;
    const QStringList parts = parser.value(u"maintenance"_s).split(u':');
    bool onOk = false;
    bool offOk = parts.size() == 1;
    const double on = parts.value(0).toDouble(&onOk);
    double off = on + MaintenanceNoticeDefaultSeconds;
    if (parts.size() == 2)
        off = parts.at(1).toDouble(&offOk);
    if (!onOk || !offOk || parts.size() > 2 || on < 0 || off < on) {
        reader.Fail(u"--maintenance: expected AT or AT:UNTIL in seconds, UNTIL not before AT"_s);
        return;
    }
    options.protocol.maintenanceOnAt = on;
    options.protocol.maintenanceOffAt = off;
}

void ReadDiagnostic(QCommandLineParser &parser, OptionReader &reader, ScenarioOptions &options)
{
    if (!parser.isSet(u"diagnostic"_s))
        return;
    const QStringList parts = parser.value(u"diagnostic"_s).split(u':');
    bool atOk = false;
    const double at = parts.value(0).toDouble(&atOk);
    std::optional<int> code = FirstDiagnosticCode + 6; // 150
    if (parts.size() == 2)
        code = ParseByte(parts.at(1));
    if (!atOk || at < 0 || parts.size() > 2 || !code || *code < FirstDiagnosticCode
        || *code > LastDiagnosticCode) {
        reader.Fail(u"--diagnostic: expected AT or AT:CODE with a code from 144 to 175"_s);
        return;
    }
    options.protocol.diagnosticAt = at;
    options.protocol.diagnosticCode = static_cast<std::uint8_t>(*code);
}

} // namespace

ParsedOptions ParseScenarioOptions(QCommandLineParser &parser, const QStringList &arguments)
{
    AddOptions(parser);
    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error = u"unexpected argument \""_s + parser.positionalArguments().first() + u"\""_s;
        return parsed;
    }

    ScenarioOptions &options = parsed.options;
    OptionReader reader(parser);
    options.linkPath = parser.value(u"link"_s);
    options.outputPath = parser.value(u"output"_s);
    options.logPath = parser.value(u"log"_s);
    options.programFolder = parser.value(u"program-folder"_s);
    options.replayPath = parser.value(u"replay"_s);
    options.fast = parser.isSet(u"fast"_s);
    options.emptyBlock = parser.isSet(u"empty-block"_s);
    reader.Number(u"duration"_s, options.duration);
    reader.Number(u"start-after"_s, options.startAfter);
    reader.Whole(u"exit-with-pid"_s, options.exitWithPid, 1, std::numeric_limits<int>::max());

    EngineModel::Settings &engine = options.engine;
    reader.Number(u"cycle"_s, engine.cycleSeconds);
    engine.startRaised = parser.isSet(u"raised"_s);
    engine.startWarm = parser.isSet(u"warm"_s);
    reader.Number(u"warm-up"_s, engine.warmUpSeconds);
    reader.Number(u"noise"_s, engine.noise, 0, 10);
    reader.Whole(u"seed"_s, engine.seed, 0, std::numeric_limits<unsigned>::max());

    ProtocolResponder::Settings &protocol = options.protocol;
    reader.Whole(u"countdown"_s, protocol.countdownStart, 1, 65534);
    double intervalMs = protocol.countdownWordSeconds * 1000;
    reader.Number(u"countdown-interval"_s, intervalMs, 0, 60000);
    protocol.countdownWordSeconds = intervalMs / 1000;
    protocol.startInCountdown = parser.isSet(u"mid-countdown"_s);
    protocol.zeroPrefix = parser.isSet(u"zero-prefix"_s);
    reader.Number(u"silent-after"_s, protocol.silentAfter);
    ReadMaintenance(parser, reader, options);
    ReadDiagnostic(parser, reader, options);

    if (parser.isSet(u"commands"_s)) {
        if (auto commands = ParseCommands(parser.value(u"commands"_s)))
            options.commands = *commands;
        else
            reader.Fail(u"--commands: expected a list like \"0.1:210,0.5:196\" "
                        "(seconds:code, code 0 to 255)"_s);
    }
    if (!options.outputPath.isEmpty() && options.duration < 0)
        reader.Fail(u"--output needs --duration"_s);
    if (!options.outputPath.isEmpty() && !options.linkPath.isEmpty())
        reader.Fail(u"--output and --link exclude each other"_s);
    if (!options.outputPath.isEmpty() && !options.programFolder.isEmpty())
        reader.Fail(u"--output and --program-folder exclude each other"_s);
    if (protocol.startInCountdown && protocol.zeroPrefix)
        reader.Fail(u"--mid-countdown and --zero-prefix exclude each other"_s);
    if (!options.replayPath.isEmpty())
        RefuseScenarioWithReplay(parser, reader);
    parsed.error = reader.Error();
    return parsed;
}

} // namespace kavro::sim
