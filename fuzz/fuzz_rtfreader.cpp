#include "rtf/rtfreader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

// Fontconfig keeps its font cache until the process ends; that is not a leak of ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// The reader builds a QTextDocument, and laying it out (as the preview will)
// needs fonts, hence an application on the offscreen platform.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const kavro::RtfReadResult result = kavro::ReadRtf(bytes);
    if (!result.ok()) {
        if (result.error.isEmpty())
            std::abort(); // a refusal must always say why
        return 0;
    }
    // Lay the document out and read it back, as the report window does.
    result.document->setTextWidth(600);
    if (result.document->size().height() < 0)
        std::abort();
    if (result.document->toPlainText().size() > bytes.size() * 4 + 64)
        std::abort(); // text grows linearly with the input, never more
    return 0;
}
