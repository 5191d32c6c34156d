// kavro02-decode [--hex] [--page N] FILE|-
// Feeds the bytes of a capture (raw, hex, or a line capture of the program,
// see captureinput.h) to the instrument receiver and prints one
// line per event the receiver causes (see tracinghost.h), then what the
// reading dispatch makes of each reading (see valuetrace.h).

#include "captureinput.h"
#include "tracinghost.h"
#include "valuetrace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cctype>
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

std::optional<QByteArray> ReadAll(const QString &name, QString &error)
{
    QFile file;
    const bool opened = name == u"-"_s ? file.open(stdin, QIODevice::ReadOnly)
                                       : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = u"cannot read %1: %2"_s.arg(name, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

// Whitespace-separated tokens of hex digit pairs ("E3 2A" or "E32A").
std::optional<QByteArray> ParseHex(const QByteArray &text, QString &error)
{
    QByteArray bytes;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        QByteArray line = lines[lineIndex];
        const qsizetype comment = line.indexOf('#');
        if (comment >= 0)
            line.truncate(comment);
        for (const QByteArray &token : line.simplified().split(' ')) {
            if (token.isEmpty())
                continue;
            const bool allHex = std::all_of(token.begin(), token.end(),
                [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
            if (!allHex || token.size() % 2 != 0) {
                error = u"line %1: \"%2\" is not a whole number of hex byte pairs"_s.arg(
                    QString::number(lineIndex + 1), QString::fromLatin1(token));
                return std::nullopt;
            }
            bytes += QByteArray::fromHex(token);
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString error;
    const std::optional<Options> options = ParseArguments(app.arguments(), error);
    if (!options)
        return Fail(error);
    std::optional<QByteArray> input = ReadAll(options->file, error);
    if (!input)
        return Fail(error);
    if (kavro::CaptureInput::Recognises(*input)) {
        QString warning;
        input = kavro::CaptureInput::ReceiverBytes(*input, error, warning);
        if (!warning.isEmpty())
            Err() << "kavro02-decode: " << options->file << ": " << warning << Qt::endl;
        if (!input)
            return Fail(options->file + u": "_s + error);
    } else if (!options->hex && kavro::CaptureInput::LacksItsHeader(*input)) {
        return Fail(options->file
            + u": looks like a line capture without its first line "
              "\"KAVRO02-CAPTURE 1 <date-time>\""_s);
    } else if (options->hex) {
        input = ParseHex(*input, error);
        if (!input)
            return Fail(options->file + u": "_s + error);
    }

    QTextStream out(stdout);
    kavro::ReceiverData data;
    kavro::TracingHost host(out, options->page);
    kavro::TInstrumentReceiver receiver(data, host);
    receiver.SetObserver(&host);
    kavro::ValueTrace values([&host](const QString &line) { host.Print(line); });
    kavro::ReadingDispatch dispatch(data, values);
    host.SetReadingHook(
        [&dispatch](int channel, int rawValue) { dispatch.ChannelReading(channel, rawValue); });
    for (const char byte : std::as_const(*input)) {
        receiver.ReceiveByte(static_cast<quint8>(byte));
        if (host.ProgramEnded())
            break;
    }
    out.flush();
    return 0;
}
