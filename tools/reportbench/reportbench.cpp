// reportbench: prints, for the standard report template and for the worst
// templates within the report window's bounds, the milliseconds of reading,
// filling, laying out the preview and printing into a PDF (best of three),
// and how quickly a template just beyond the bounds is refused.

#include "inspection/reportfilling.h"
#include "inspection/reportprinting.h"
#include "inspection/reporttemplate.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

constexpr int PreviewWidth = 800;

struct Figures
{
    double readMs = 1e18;
    double fillMs = 1e18;
    double layoutMs = 1e18;
    double printMs = 1e18;
    QString outcome;
};

double elapsedMs(QElapsedTimer &timer)
{
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

Figures measure(const QByteArray &rtf)
{
    Figures best;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        ReportTemplate loaded = ReadReportTemplate(rtf);
        best.readMs = std::min(best.readMs, elapsedMs(timer));
        if (!loaded.ok()) {
            best.outcome = u"refused: "_s + loaded.error;
            return best;
        }
        ReportInputs inputs;
        inputs.results.AfterAdjustmentDone = true;
        const ReportFillResult filled = FillReport(*loaded.document, inputs);
        best.fillMs = std::min(best.fillMs, elapsedMs(timer));
        best.outcome = filled.ok() ? u"filled"_s : u"loaded (no tags)"_s;

        loaded.document->setTextWidth(PreviewWidth);
        loaded.document->size();
        best.layoutMs = std::min(best.layoutMs, elapsedMs(timer));

        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setPageLayout(ReportPageLayout(loaded.page));
        PrintOnPages(*loaded.document, writer);
        best.printMs = std::min(best.printMs, elapsedMs(timer));
    }
    return best;
}

// Paragraphs of one unbroken word each, the slowest text to lay out.
QByteArray unbrokenParagraphs(int count, int length)
{
    QByteArray body;
    for (int index = 0; index < count; ++index)
        body += QByteArray(length, 'x') + "\\par\n";
    return "{\\rtf1 " + body + "}";
}

const QByteArray ShortParagraph = "abcd efgh ijkl mnop qrst uvwx yz\\par\n"; // 33 characters

QByteArray shortParagraphs(int characters)
{
    return "{\\rtf1 " + ShortParagraph.repeated(characters / 33) + "}";
}

// A file of the largest size, nearly all of it a picture.
QByteArray largestFile()
{
    const QByteArray start = "{\\rtf1 Logo {\\pict\\wmetafile8 ";
    const QByteArray end = "}}";
    return start + QByteArray(MaxTemplateFileBytes - start.size() - end.size(), 'a') + end;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QFile standard(u":/template.rtf"_s);
    standard.open(QIODevice::ReadOnly);
    const int paragraph = MaxTemplateParagraphCharacters;
    const std::pair<const char *, QByteArray> cases[] = {
        { "standard template", standard.readAll() },
        { "longest paragraph, unbroken", unbrokenParagraphs(1, paragraph) },
        { "most text, unbroken paragraphs",
            unbrokenParagraphs(MaxTemplateCharacters / (paragraph + 1), paragraph) },
        { "most text, short paragraphs", shortParagraphs(MaxTemplateCharacters - 100) },
        { "largest file, a picture", largestFile() },
        { "largest file, all text",
            "{\\rtf1 " + ShortParagraph.repeated(MaxTemplateFileBytes / ShortParagraph.size() - 1)
                + "}" },
        { "paragraph one too long", unbrokenParagraphs(1, paragraph + 1) },
        { "200 000 character paragraph", unbrokenParagraphs(1, 200'000) },
    };

    std::printf("%-32s %9s %9s %9s %9s  %s\n", "template", "read ms", "fill ms", "layout ms",
        "print ms", "outcome");
    for (const auto &[name, rtf] : cases) {
        const Figures figures = measure(rtf);
        const auto shown = [](double ms) { return ms < 1e17 ? ms : -1.0; };
        std::printf("%-32s %9.1f %9.1f %9.1f %9.1f  %s\n", name, figures.readMs,
            shown(figures.fillMs), shown(figures.layoutMs), shown(figures.printMs),
            qPrintable(figures.outcome));
    }
    std::printf("(-1: not done, the template was refused; layout at %d pixels, print into a "
                "PDF in memory)\n",
        PreviewWidth);
    return 0;
}
