#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kavro {

// The bytes of a capture as they arrive, from a file or standard input, in
// one of the capture formats. A read returns what the source has, so a pipe
// or a serial line being captured is decoded while it runs, and memory stays
// bounded on endless input. Another format is one more Format value with its
// own Next… step beside NextRaw and NextHex.
class CaptureInput
{
public:
    enum class Format {
        Raw, // the bytes as they came from the instrument
        Hex, // whitespace-separated hex bytes; '#' starts a comment to the end of the line
    };

    static constexpr qsizetype ChunkSize = 64 * 1024;
    static constexpr qsizetype MaxHexLineLength = 1024 * 1024;

    explicit CaptureInput(Format format);

    // A file name as given on the command line, or "-" for standard input.
    // False with Error() set when it cannot be opened.
    bool Open(const QString &name);

    // The next bytes of the capture, as soon as some have arrived; empty at
    // its end or after bad input, which Error() then describes (the bytes
    // before the bad input come first).
    QByteArray Next();
    const QString &Error() const { return m_error; }

private:
    QByteArray NextRaw();
    QByteArray NextHex();
    QByteArray ReadChunk(); // what one read gives; empty at the end or on an error
    void Fail(const QString &error);

    Format m_format;
    QFile m_file;
    QString m_name; // for messages
    QByteArray m_pendingText; // hex text read but not yet decoded, from m_lineStart
    qsizetype m_lineStart = 0;
    qsizetype m_lineNumber = 0;
    bool m_sourceEnded = false;
    QString m_error;
};

} // namespace kavro
