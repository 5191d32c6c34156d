#pragma once

#include "protocol/capturefile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>

namespace kavro {

// The bytes of a capture as they arrive, from a file or standard input, in
// one of the capture formats. A read returns what the source has, so a pipe
// or a serial line being captured is decoded while it runs, and memory stays
// bounded on endless input. Another format is one more Format value with its
// own Next… step beside NextRaw and NextLines.
class DecoderInput
{
public:
    enum class Format {
        Raw, // the bytes as they came from the instrument
        Hex, // whitespace-separated hex bytes; '#' starts a comment to the end of the line
        // A line capture of the program (kavro02 --capture), recognised by its
        // first line whatever format was asked for: the bytes the program's
        // receiver was given.
        LineCapture,
    };

    static constexpr qsizetype ChunkSize = 64 * 1024;
    static constexpr qsizetype MaxHexLineLength = 1024 * 1024;

    explicit DecoderInput(Format format);

    // A file name as given on the command line, or "-" for standard input.
    // False with Error() set when it cannot be opened.
    bool Open(const QString &name);

    // The next bytes of the capture, as soon as some have arrived; empty at
    // its end or after bad input, which Error() then describes (the bytes
    // before the bad input come first).
    QByteArray Next();
    const QString &Error() const { return m_error; }
    // Something left out that does not stop the decoding (the cut-off last
    // line of a capture); empty when nothing was.
    const QString &Warning() const { return m_warning; }

private:
    // The bytes of one whole line, or an error text (empty: none).
    using LineDecoder = std::function<QString(const QByteArray &line, QByteArray &bytes)>;

    void RecogniseFormat();
    bool ReadsLikeCaptureLines();
    QByteArray NextRaw();
    // The bytes of the whole lines that have arrived, decoded by decodeLine.
    QByteArray NextLines(const LineDecoder &decodeLine);
    QString DecodeCaptureLine(const QByteArray &line, QByteArray &bytes);
    QByteArray ReadChunk(); // what one read gives; empty at the end or on an error
    void Fail(const QString &error);

    Format m_format;
    QFile m_file;
    QString m_name; // for messages
    bool m_formatKnown = false;
    QByteArray m_pendingText; // text read but not yet decoded, from m_lineStart
    qsizetype m_lineStart = 0;
    qsizetype m_lineNumber = 0;
    bool m_sourceEnded = false;
    QString m_error;
    QString m_warning;
    CaptureLineReader m_captureLines;
    bool m_receiverOn = true; // a capture without receiver lines gave it everything
};

} // namespace kavro
