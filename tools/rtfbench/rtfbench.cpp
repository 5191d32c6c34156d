// rtfbench [FILE...]: times the RTF reader on the given files (by default the
// largest files of the shared RTF corpus) and prints, per file, the best of
// three runs for reading and for laying the document out, and the peak
// resident memory while doing so.

#include "rtf/rtfreader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Peak resident set size of this process in KiB (VmHWM), or -1.
long peakResidentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lets the next VmHWM reading show the peak of what follows only.
void resetPeakResident()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

constexpr int MaxLaidOutCharacters = 500'000;

struct Figures
{
    double readMs = 0;
    double layoutMs = 0;
    long peakKiB = 0;
    qsizetype characters = 0;
};

Figures measure(const QByteArray &data)
{
    Figures best { 1e18, -1, 0, 0 };
    for (int run = 0; run < 3; ++run) {
        resetPeakResident();
        QElapsedTimer timer;
        timer.start();
        const kavro::RtfReadResult result = kavro::ReadRtf(data);
        const double readMs = timer.nsecsElapsed() / 1e6;
        if (!result.ok()) {
            std::fprintf(stderr, "not read: %s\n", qPrintable(result.error));
            return {};
        }
        // Qt's layout of one paragraph grows faster than its length (a 200 000
        // character paragraph takes seconds), so huge documents are not laid out.
        double layoutMs = -1;
        if (result.document->characterCount() <= MaxLaidOutCharacters) {
            timer.restart();
            result.document->setTextWidth(600);
            result.document->size();
            layoutMs = timer.nsecsElapsed() / 1e6;
        }
        best.readMs = qMin(best.readMs, readMs);
        best.layoutMs = best.layoutMs < 0 ? layoutMs : qMin(best.layoutMs, layoutMs);
        best.peakKiB = qMax(best.peakKiB, peakResidentKiB());
        best.characters = result.document->characterCount();
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QStringList files = application.arguments().mid(1);
    if (files.isEmpty()) {
        const QString corpus = QStringLiteral(KAVRO_SHARED_DIR) + u"/rtf-corpus/"_s;
        for (const char *name : { "adversarial-5mb-nospace.rtf",
                 "adversarial-deep-nesting-100k.rtf", "rtfpipe-Issue51.rtf",
                 "striprtf-Example_text.rtf", "striprtf-Speiseplan_KW_32-33_Eybl.rtf",
                 "rtfpipe-Issue37.rtf", "rtfpipe-docu-RtfTestDocument.rtf" })
            files.append(corpus + QLatin1String(name));
    }

    const long baseKiB = peakResidentKiB();
    std::printf("%-40s %10s %10s %10s %10s %12s\n", "file", "bytes", "chars", "read ms",
        "layout ms", "peak RSS MiB");
    for (const QString &path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray data = file.readAll();
        const Figures figures = measure(data);
        std::printf("%-40s %10lld %10lld %10.1f %10.1f %12.1f\n",
            qPrintable(QFileInfo(path).fileName().left(40)), static_cast<long long>(data.size()),
            static_cast<long long>(figures.characters), figures.readMs, figures.layoutMs,
            figures.peakKiB / 1024.0);
    }
    std::printf("(layout ms -1: not laid out, over %d characters; peak RSS includes the "
                "process's own %.1f MiB at start)\n",
        MaxLaidOutCharacters, baseKiB / 1024.0);
    return 0;
}
