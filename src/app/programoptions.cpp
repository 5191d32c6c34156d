#include "app/programoptions.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace kavro {

ProgramOptions ReadProgramOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"The desktop program of the КАВРО-02 exhaust gas analyser."_s);
    parser.addHelpOption();
    const QCommandLineOption capture(u"capture"_s,
        u"Write every byte received from the instrument, with its arrival time, to FILE "
        "(replaced if it exists; a folder gets a new file named after the start). "
        "kavro02-decode reads it, kavro02-sim --replay plays it back."_s,
        u"FILE"_s);
    parser.addOption(capture);
    parser.process(arguments);

    ProgramOptions options;
    options.capturePath = parser.value(capture);
    return options;
}

} // namespace kavro
