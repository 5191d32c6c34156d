// kavro02-sim: plays the КАВРО-02 gas analyser on a pseudo-terminal (or
// into a file) for the program, its tests and its demonstrations.

#include "instrumentsession.h"
#include "processwatch.h"
#include "programsettings.h"
#include "scenariooptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavro::sim;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"kavro02-sim"_s);

    QCommandLineParser parser;
    const ParsedOptions parsed = ParseScenarioOptions(parser, QCoreApplication::arguments());
    if (parser.isSet(u"help"_s))
        parser.showHelp(0);
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "kavro02-sim: %s\n", qPrintable(parsed.error));
        return 2;
    }
    const ScenarioOptions &options = parsed.options;
    if (options.exitWithPid != 0 && !ParentWatch::Alive(options.exitWithPid)) {
        std::fprintf(stderr, "kavro02-sim: process %lld is not running\n", options.exitWithPid);
        return 2;
    }

    InstrumentSession session(options);
    if (!options.replayPath.isEmpty()) {
        const kavro::CaptureReadResult capture = kavro::ReadCaptureFile(options.replayPath);
        if (!capture.ok()) {
            std::fprintf(stderr, "kavro02-sim: %s\n", qPrintable(capture.error));
            return 2;
        }
        if (!capture.warning.isEmpty())
            std::fprintf(stderr, "kavro02-sim: %s\n", qPrintable(capture.warning));
        session.ReplayCapture(capture.capture);
    }
    if (const QString error = session.Open(); !error.isEmpty()) {
        std::fprintf(stderr, "kavro02-sim: %s\n", qPrintable(error));
        return 1;
    }
    if (!options.programFolder.isEmpty()) {
        const QString device = options.linkPath.isEmpty() ? session.DevicePath() : options.linkPath;
        if (const QString error = ConnectProgramToDevice(options.programFolder, device);
            !error.isEmpty()) {
            std::fprintf(stderr, "kavro02-sim: %s\n", qPrintable(error));
            return 1;
        }
    }
    if (!session.DevicePath().isEmpty()) {
        std::printf("%s\n", qPrintable(session.DevicePath()));
        std::fflush(stdout);
    }

    QObject::connect(&session, &InstrumentSession::Finished, &app, &QCoreApplication::quit,
        Qt::QueuedConnection);
    UnixSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &UnixSignalWatcher::TerminationRequested, &session,
        [&session] { session.Finish(u"terminated by a signal"_s); });
    QObject::connect(&signalWatcher, &UnixSignalWatcher::IdleSpeedToggleRequested, &session,
        &InstrumentSession::ToggleIdleSpeed);
    StdinControl stdinControl;
    QObject::connect(&stdinControl, &StdinControl::RaisedIdleRequested, &session,
        &InstrumentSession::SetRaisedIdle);
    QObject::connect(&stdinControl, &StdinControl::IdleSpeedToggleRequested, &session,
        &InstrumentSession::ToggleIdleSpeed);
    std::unique_ptr<ParentWatch> parentWatch;
    if (options.exitWithPid != 0) {
        parentWatch = std::make_unique<ParentWatch>(options.exitWithPid);
        QObject::connect(parentWatch.get(), &ParentWatch::ParentEnded, &session,
            [&session] { session.Finish(u"the program has ended"_s); });
    }
    return QCoreApplication::exec();
}
