// kavro02-decode [--hex] [--page N] FILE|-
// Feeds the bytes of a capture (raw bytes, hex text, or a line capture of the
// program, known by its first line) to the instrument receiver as they arrive and
// prints one line per event the receiver causes (see tracinghost.h), then
// what the reading dispatch makes of each reading (see valuetrace.h).

#include "argumentsasgiven.h"
#include "decoderinput.h"
#include "tracinghost.h"
#include "valuetrace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int BadInput = 2;

struct Options
{
    bool hex = false;
    int page = 0;
    QString file;
};

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

int Fail(const QString &message)
{
    Err() << "kavro02-decode: " << message << Qt::endl;
    return BadInput;
}

std::optional<Options> ParseArguments(const QStringList &arguments, QString &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Feeds an instrument capture to the receiver and prints its events."_s);
    const QCommandLineOption hexOption(u"hex"_s,
        u"FILE holds whitespace-separated hex bytes; '#' starts a "
        "comment to the end of the line."_s);
    const QCommandLineOption pageOption(
        u"page"_s, u"Page shown by the main window (default 0)."_s, u"N"_s, u"0"_s);
    parser.addOption(hexOption);
    parser.addOption(pageOption);
    parser.addHelpOption();
    parser.addPositionalArgument(u"FILE"_s, u"Capture file, or - for standard input."_s);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(u"help"_s))
        parser.showHelp(0);
    if (parser.positionalArguments().size() != 1) {
        error = u"expected one FILE (or -); see --help"_s;
        return std::nullopt;
    }
    Options options;
    options.hex = parser.isSet(hexOption);
    options.file = parser.positionalArguments().constFirst();
    bool pageOk = false;
    options.page = parser.value(pageOption).toInt(&pageOk);
    if (!pageOk || options.page < 0) {
        error = u"--page needs a page index 0 or more, not \"%1\""_s.arg(parser.value(pageOption));
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString error;
    // The file name exactly as given, also when it is not valid UTF-8.
    const std::optional<Options> options
        = ParseArguments(kavro::tools::ArgumentsAsGiven(argc, argv), error);
    if (!options)
        return Fail(error);
    kavro::DecoderInput input(
        options->hex ? kavro::DecoderInput::Format::Hex : kavro::DecoderInput::Format::Raw);
    if (!input.Open(options->file))
        return Fail(input.Error());

    QTextStream out(stdout);
    kavro::ReceiverData data;
    kavro::TracingHost host(out, options->page);
    kavro::TInstrumentReceiver receiver(data, host);
    receiver.SetObserver(&host);
    kavro::ValueTrace values([&host](const QString &line) { host.Print(line); });
    kavro::ReadingDispatch dispatch(data, values);
    host.SetReadingHook(
        [&dispatch](int channel, int rawValue) { dispatch.ChannelReading(channel, rawValue); });
    // Each piece is decoded and printed before the next is waited for.
    while (!host.ProgramEnded()) {
        const QByteArray bytes = input.Next();
        if (bytes.isEmpty())
            break;
        for (const char byte : bytes) {
            receiver.ReceiveByte(static_cast<quint8>(byte));
            if (host.ProgramEnded())
                break;
        }
        out.flush();
    }
    out.flush();
    if (!input.Warning().isEmpty())
        Err() << "kavro02-decode: " << input.Warning() << Qt::endl;
    if (!host.ProgramEnded() && !input.Error().isEmpty())
        return Fail(input.Error());
    return 0;
}
