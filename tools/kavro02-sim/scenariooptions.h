#pragma once

#include "enginemodel.h"
#include "protocolresponder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

class QCommandLineParser;

namespace kavro::sim {

// A command the program would send, played at a session time instead
// (for sessions written to a file).
struct ScriptedCommand
{
    double at = 0;
    std::uint8_t command = 0;
};

// Everything the command line chooses: where the line goes, how the
// instrument behaves and how the engine runs.
struct ScenarioOptions
{
    QString linkPath;
    QString outputPath;
    QString logPath;
    QString programFolder;
    QString replayPath; // a line capture to play instead of the scenario
    bool fast = false;
    double duration = -1;
    double startAfter = 0;
    qint64 exitWithPid = 0;
    bool emptyBlock = false;
    QList<ScriptedCommand> commands;
    EngineModel::Settings engine;
    ProtocolResponder::Settings protocol;
};

struct ParsedOptions
{
    ScenarioOptions options;
    QString error; // empty when the command line is sound
};

// Declares the options on the parser (with --help) and reads them.
ParsedOptions ParseScenarioOptions(QCommandLineParser &parser, const QStringList &arguments);

} // namespace kavro::sim
