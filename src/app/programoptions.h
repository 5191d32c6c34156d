#pragma once

#include <QString>
#include <QStringList>

namespace kavro {

// What the command line asks for. Without options the program runs as it
// always has.
struct ProgramOptions
{
    QString capturePath; // --capture FILE: record the instrument's bytes
};

// Reads the program's arguments (Qt's own, such as -platform, already
// removed). --help, --version and a bad argument print their text and end
// the process, as QCommandLineParser does.
ProgramOptions ReadProgramOptions(const QStringList &arguments);

} // namespace kavro
