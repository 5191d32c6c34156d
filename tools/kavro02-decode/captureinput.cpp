#include "captureinput.h"

#include "argumentsasgiven.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>

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

CaptureInput::CaptureInput(Format format)
    : m_format(format)
{ }

bool CaptureInput::Open(const QString &name)
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

QByteArray CaptureInput::Next()
{
    if (!m_error.isEmpty())
        return {};
    switch (m_format) {
    case Format::Raw:
        return NextRaw();
    case Format::Hex:
        return NextHex();
    }
    return {};
}

QByteArray CaptureInput::NextRaw()
{
    return ReadChunk();
}

// The bytes of the whole lines that have arrived, at least one line with
// bytes. A line is decoded only when it is whole, so that a bad token stops
// the capture before any byte of its line.
QByteArray CaptureInput::NextHex()
{
    QByteArray bytes;
    for (;;) {
        qsizetype lineEnd = m_pendingText.indexOf('\n', m_lineStart);
        if (lineEnd < 0 && m_sourceEnded && m_lineStart < m_pendingText.size())
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
        QString problem;
        const std::optional<QByteArray> lineBytes = ParseHexLine(line, problem);
        if (!lineBytes) {
            Fail(u"line %1: %2"_s.arg(m_lineNumber).arg(problem));
            return bytes; // the lines before it still count
        }
        bytes += *lineBytes;
    }
}

QByteArray CaptureInput::ReadChunk()
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

void CaptureInput::Fail(const QString &error)
{
    m_error = m_name + u": "_s + error;
}

} // namespace kavro
