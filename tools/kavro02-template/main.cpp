// kavro02-template [--text] [--sample] [--pdf OUT] FILE
//
// Reads a report template as the program does and tells, for each report tag
// in the order of filling, whether the document's visible text holds it (as
// the report filling looks for it: in any case, whatever its formatting).
// --sample fills the tags with example values, as the report window would,
// before the text and the PDF are written.
// Exit status: 0 the file was read, 1 bad arguments, 2 the file cannot be
// read, is larger than 64 MB or is not RTF, 3 the PDF could not be written, 4
// the sample could not be filled.

#include "argumentsasgiven.h"
#include "inspection/reportfilling.h"
#include "inspection/reporttags.h"
#include "inspection/reporttemplate.h"
#include "rtf/rtfreader.h"
#include "sampleinputs.h"
#include "templatepdf.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTextStream>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Far above any real template (the standard one has under 8 KB); the file is
// read whole, so an endless or huge input must not fill the memory.
constexpr qint64 MaxTemplateBytes = 64 * 1024 * 1024;
constexpr qint64 ReadChunkBytes = 64 * 1024;

enum ExitStatus {
    Success = 0,
    UsageError = 1,
    ReadError = 2,
    PdfError = 3,
    FillError = 4,
};

void printTagLines(QTextStream &out, const QString &visibleText)
{
    for (const kavro::ReportTag &tag : kavro::ReportTags()) {
        const bool found = kavro::FindReportTag(visibleText, tag.text) >= 0;
        out << tag.text << (found ? u" found"_s : u" missing"_s) << '\n';
    }
}

// The whole file, unless it holds more than MaxTemplateBytes (a device or
// pipe is read only that far).
std::optional<QByteArray> readTemplate(QFile &file, QString &error)
{
    const QString tooLarge
        = u"larger than %1 bytes (64 MB), far more than a report template holds"_s.arg(
            MaxTemplateBytes);
    if (!file.isSequential() && file.size() > MaxTemplateBytes) {
        error = tooLarge;
        return std::nullopt;
    }
    QByteArray data;
    while (data.size() <= MaxTemplateBytes) {
        const QByteArray chunk = file.read(ReadChunkBytes);
        if (chunk.isEmpty())
            break;
        data += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    if (data.size() > MaxTemplateBytes) {
        error = tooLarge;
        return std::nullopt;
    }
    return data;
}

} // namespace

int main(int argc, char *argv[])
{
    // Laying out and printing needs a GUI application, but the tool never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"kavro02-template"_s);

    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Lists which report tags a report template holds in its visible text."_s);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption textOption(
        u"text"_s, u"Also print the document's visible text after a line \"--- text ---\"."_s);
    const QCommandLineOption pdfOption(
        u"pdf"_s, u"Print the document to the PDF file <OUT> on its own page."_s, u"OUT"_s);
    const QCommandLineOption sampleOption(u"sample"_s,
        u"Fill the tags with example values before --text and --pdf (N3, three-component, "
        u"measured before and after adjustment)."_s);
    parser.addOption(textOption);
    parser.addOption(sampleOption);
    parser.addOption(pdfOption);
    parser.addPositionalArgument(u"FILE"_s, u"The RTF template to check."_s);

    // The file name exactly as given, also when it is not valid UTF-8.
    if (!parser.parse(kavro::tools::ArgumentsAsGiven(argc, argv))) {
        err << "kavro02-template: " << parser.errorText() << "\n\n" << parser.helpText();
        return UsageError;
    }
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.positionalArguments().size() != 1) {
        err << "kavro02-template: exactly one FILE expected\n\n" << parser.helpText();
        return UsageError;
    }

    const QString argument = parser.positionalArguments().constFirst();
    const QString path = kavro::tools::ReadableName(argument);
    QFile file;
    QString problem;
    if (!kavro::tools::OpenForReading(file, argument, problem)) {
        err << "kavro02-template: cannot read " << path << ": " << problem << '\n';
        return ReadError;
    }
    const std::optional<QByteArray> data = readTemplate(file, problem);
    if (!data) {
        err << "kavro02-template: cannot read " << path << ": " << problem << '\n';
        return ReadError;
    }

    const kavro::RtfReadResult result = kavro::ReadRtf(*data);
    if (!result.ok()) {
        err << "kavro02-template: " << path << " is not a readable RTF document: " << result.error
            << '\n';
        return ReadError;
    }

    printTagLines(out, result.document->toPlainText());
    out.flush();
    if (const kavro::ReportTemplate bounded = kavro::ReadReportTemplate(*data); !bounded.ok())
        err << "kavro02-template: the report window refuses this template: " << bounded.error
            << '\n';

    if (parser.isSet(sampleOption)) {
        const kavro::ReportFillResult filled
            = kavro::FillReport(*result.document, kavro::SampleReportInputs());
        // The example values are all writable: only a missing tag stops them.
        if (!filled.ok()) {
            err << "kavro02-template: cannot fill the sample report: " << filled.tag
                << " missing\n";
            return FillError;
        }
    }
    if (parser.isSet(textOption)) {
        out << "--- text ---\n" << result.document->toPlainText() << '\n';
        out.flush();
    }

    if (parser.isSet(pdfOption)) {
        // Written under the readable form of its name, as before.
        problem = kavro::PrintToPdf(
            *result.document, result.page, kavro::tools::ReadableName(parser.value(pdfOption)));
        if (!problem.isEmpty()) {
            err << "kavro02-template: " << problem << '\n';
            return PdfError;
        }
    }
    return Success;
}
