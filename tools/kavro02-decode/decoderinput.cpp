#include "decoderinput.h"

#include "argumentsasgiven.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

// Waits only until some bytes are there, unlike QFile, which fills its request.
qint64 ReadSome(int fd, char *buffer, qsizetype size)
{
    for (;;) {
#ifdef Q_OS_WIN
        const qint64 read = ::_read(fd, buffer, unsigned(size));
#else
        const qint64 read = ::read(fd, buffer, size_t(size));
#endif
        if (read >= 0 || errno != EINTR)
            return read;
    }
}

// Whether text is still too short to tell if it begins with the name of a
// capture's first line (after a byte order mark).
bool MayBeginCaptureName(const QByteArray &text)
{
    static const QByteArray Name = "KAVRO02-CAPTURE";
    static const QByteArray WithMark = "\xEF\xBB\xBF" + Name;
    return (text.size() < Name.size() && Name.startsWith(text))
        || (text.size() < WithMark.size() && WithMark.startsWith(text));
}

// Whitespace-separated tokens of hex digit pairs ("E3 2A" or "E32A").
std::optional<QByteArray> ParseHexLine(QByteArray line, QString &error)
{
    const qsizetype comment = line.indexOf('#');
    if (comment >= 0)
        line.truncate(comment);
    QByteArray bytes;
    for (const QByteArray &token : line.simplified().split(' ')) {
        if (token.isEmpty())
            continue;
        const bool allHex = std::all_of(token.begin(), token.end(),
            [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
        if (!allHex || token.size() % 2 != 0) {
            error = u"\"%1\" is not a whole number of hex byte pairs"_s.arg(
                QString::fromLatin1(token));
            return std::nullopt;
        }
        bytes += QByteArray::fromHex(token);
    }
    return bytes;
}

} // namespace

DecoderInput::DecoderInput(Format format)
    : m_format(format)
{ }

bool DecoderInput::Open(const QString &name)
{
    m_name = tools::ReadableName(name);
    QString problem;
    const bool opened = name == u"-"_s ? m_file.open(fileno(stdin), QIODevice::ReadOnly)
                                       : tools::OpenForReading(m_file, name, problem);
    if (!opened)
        m_error = u"cannot read %1: %2"_s.arg(
            m_name, problem.isEmpty() ? m_file.errorString() : problem);
    return opened;
}

QByteArray DecoderInput::Next()
{
    if (!m_formatKnown)
        RecogniseFormat();
    if (!m_error.isEmpty())
        return {};
    switch (m_format) {
    case Format::Raw:
        return NextRaw();
    case Format::Hex:
        return NextLines([](const QByteArray &line, QByteArray &bytes) {
            QString problem;
            if (const std::optional<QByteArray> lineBytes = ParseHexLine(line, problem))
                bytes += *lineBytes;
            return problem;
        });
    case Format::LineCapture:
        return NextLines([this](const QByteArray &line, QByteArray &bytes) {
            return DecodeCaptureLine(line, bytes);
        });
    }
    return {};
}

// A line capture is known by the name at the start of its first line, so
// the input waits until its first bytes tell whether they begin with it.
void DecoderInput::RecogniseFormat()
{
    m_formatKnown = true;
    while (!m_sourceEnded && MayBeginCaptureName(m_pendingText)) {
        m_pendingText += ReadChunk();
        if (!m_error.isEmpty())
            return;
    }
    if (StartsLikeCapture(m_pendingText)) {
        m_format = Format::LineCapture;
        if (m_pendingText.startsWith("\xEF\xBB\xBF"))
            m_pendingText.remove(0, 3);
        return;
    }
    // Raw bytes from the instrument never read like the lines of a capture;
    // such text lost its first line, and decoded raw it would be nonsense.
    if (m_format == Format::Raw && ReadsLikeCaptureLines())
        Fail(u"looks like a line capture without its first line "
             "\"KAVRO02-CAPTURE 1 <date-time>\""_s);
}

// Whether the first line that is not a comment or empty is a capture's
// record line (looked for in the first 64 KiB).
bool DecoderInput::ReadsLikeCaptureLines()
{
    CaptureLineReader lines;
    lines.AssumeHeader();
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype lineEnd = m_pendingText.indexOf('\n', lineStart);
        if (lineEnd < 0) {
            // A byte that no text line holds settles it without waiting.
            const bool binary
                = std::any_of(m_pendingText.cbegin() + lineStart, m_pendingText.cend(),
                    [](char c) { return (c < 0x20 && c != '\t' && c != '\r') || c > 0x7E; });
            if (binary || m_sourceEnded || m_pendingText.size() > ChunkSize)
                return false;
            m_pendingText += ReadChunk();
            if (!m_error.isEmpty())
                return false;
            continue;
        }
        QByteArrayView line = QByteArrayView(m_pendingText).sliced(lineStart, lineEnd - lineStart);
        if (line.endsWith('\r'))
            line.chop(1);
        lineStart = lineEnd + 1;
        std::optional<CaptureRecord> record;
        if (!lines.Read(line, record).isEmpty())
            return false;
        if (record)
            return true;
    }
}

QByteArray DecoderInput::NextRaw()
{
    if (!m_pendingText.isEmpty())
        return std::exchange(m_pendingText, {}); // what recognising the format read
    return ReadChunk();
}

// The bytes of the whole lines that have arrived, at least one line with
// bytes. A line is decoded only when it is whole, so that a bad token stops
// the capture before any byte of its line.
QByteArray DecoderInput::NextLines(const LineDecoder &decodeLine)
{
    QByteArray bytes;
    for (;;) {
        qsizetype lineEnd = m_pendingText.indexOf('\n', m_lineStart);
        const bool cutOff = lineEnd < 0 && m_sourceEnded && m_lineStart < m_pendingText.size();
        if (cutOff)
            lineEnd = m_pendingText.size(); // the last line has no line end
        if (lineEnd < 0) {
            if (m_sourceEnded || !bytes.isEmpty())
                return bytes;
            if (m_pendingText.size() - m_lineStart > MaxHexLineLength) {
                Fail(u"line %1 is longer than %2 characters"_s.arg(m_lineNumber + 1)
                         .arg(MaxHexLineLength));
                return {};
            }
            m_pendingText.remove(0, m_lineStart);
            m_lineStart = 0;
            m_pendingText += ReadChunk();
            if (!m_error.isEmpty())
                return {};
            continue;
        }
        const QByteArray line = m_pendingText.sliced(m_lineStart, lineEnd - m_lineStart);
        m_lineStart = lineEnd + 1;
        ++m_lineNumber;
        const QString problem = decodeLine(line, bytes);
        if (problem.isEmpty())
            continue;
        // A capture's header names its line itself.
        const bool header = m_format == Format::LineCapture && m_lineNumber == 1;
        const QString located = header ? problem : u"line %1: %2"_s.arg(m_lineNumber).arg(problem);
        if (cutOff && !header && m_format == Format::LineCapture) {
            // The capture's writer was cut off in the middle of its last line.
            m_warning = m_name + u": "_s + located + u" (cut off without its line end; left out)"_s;
            return bytes;
        }
        Fail(located);
        return bytes; // the lines before it still count
    }
}

// Only the bytes the program's receiver was given count: none between
// "receiver off" and "receiver on".
QString DecoderInput::DecodeCaptureLine(const QByteArray &line, QByteArray &bytes)
{
    std::optional<CaptureRecord> record;
    const QString problem
        = m_captureLines.Read(line.endsWith('\r') ? line.chopped(1) : line, record);
    if (!problem.isEmpty() || !record)
        return problem;
    if (record->kind == CaptureRecord::Bytes) {
        if (m_receiverOn)
            bytes += record->bytes;
    } else {
        m_receiverOn = record->kind == CaptureRecord::ReceiverOn;
    }
    return {};
}

QByteArray DecoderInput::ReadChunk()
{
    if (m_sourceEnded)
        return {};
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    const qint64 read = ReadSome(m_file.handle(), chunk.data(), chunk.size());
    if (read < 0) {
        Fail(u"cannot read further: %1"_s.arg(qt_error_string(errno)));
        return {};
    }
    m_sourceEnded = read == 0;
    chunk.truncate(read);
    return chunk;
}

void DecoderInput::Fail(const QString &error)
{
    m_error = m_name + u": "_s + error;
}

} // namespace kavro
