#include "protocol/capturefile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr QByteArrayView HeaderName = "KAVRO02-CAPTURE";
constexpr QByteArrayView FormatVersion = "1";
constexpr QByteArrayView ByteOrderMark = "\xEF\xBB\xBF";
constexpr QByteArrayView ReceiverWord = "receiver";
constexpr int SyncDelayMs = 1000;
constexpr qsizetype LongestTimeDigits = 15; // about 30 000 years in milliseconds

QString Quoted(QByteArrayView text)
{
    return u"\""_s + QString::fromUtf8(text) + u"\""_s;
}

bool IsHexByte(QByteArrayView token)
{
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    return token.size() == 2 && isHex(token[0]) && isHex(token[1]);
}

std::optional<qint64> Milliseconds(QByteArrayView token)
{
    if (token.isEmpty() || token.size() > LongestTimeDigits)
        return std::nullopt;
    qint64 ms = 0;
    for (const char c : token) {
        if (c < '0' || c > '9')
            return std::nullopt;
        ms = ms * 10 + (c - '0');
    }
    return ms;
}

QString FreeFileIn(const QDir &folder, const QDateTime &started)
{
    const QString base = u"kavro02-"_s + started.toString(u"yyyyMMdd-HHmmss"_s);
    QString name = base + u".txt"_s;
    for (int n = 2; folder.exists(name); ++n)
        name = base + u"-%1.txt"_s.arg(n);
    return folder.filePath(name);
}

} // namespace

QString CaptureLineReader::Read(QByteArrayView line, std::optional<CaptureRecord> &record)
{
    record.reset();
    if (!m_headerRead) {
        const QString error = ReadHeader(line);
        m_headerRead = error.isEmpty();
        return error;
    }
    return ReadRecord(line, record);
}

QString CaptureLineReader::ReadHeader(QByteArrayView line)
{
    const QList<QByteArray> tokens = line.toByteArray().simplified().split(' ');
    if (tokens.constFirst() != HeaderName)
        return u"not a line capture: the first line must read \"KAVRO02-CAPTURE 1 <date-time>\""_s;
    if (tokens.size() < 2 || tokens.at(1) != FormatVersion)
        return u"line 1: capture format version %1 is not known (version 1 is)"_s.arg(
            Quoted(tokens.value(1)));
    m_started = QDateTime::fromString(QString::fromLatin1(tokens.value(2)), Qt::ISODateWithMs);
    if (tokens.size() != 3 || !m_started.isValid())
        return u"line 1: expected the start as a date-time such as "
               "2026-12-08T10:00:00.000+03:00 after the version"_s;
    return {};
}

QString CaptureLineReader::ReadRecord(QByteArrayView line, std::optional<CaptureRecord> &record)
{
    const QList<QByteArray> tokens = line.toByteArray().simplified().split(' ');
    if (tokens.constFirst().isEmpty() || tokens.constFirst().startsWith('#'))
        return {}; // empty line or comment
    const std::optional<qint64> ms = Milliseconds(tokens.constFirst());
    if (!ms)
        return Quoted(tokens.constFirst()) + u" is not a time in milliseconds"_s;
    if (*ms < m_lastMs)
        return u"time %1 ms is before the %2 ms of the line above"_s.arg(*ms).arg(m_lastMs);
    if (tokens.size() == 1)
        return u"a time without bytes"_s;

    CaptureRecord read { .ms = *ms, .kind = CaptureRecord::Bytes, .bytes = {} };
    if (tokens.at(1) == ReceiverWord) {
        if (tokens.size() != 3 || (tokens.at(2) != "on" && tokens.at(2) != "off"))
            return u"expected \"receiver on\" or \"receiver off\""_s;
        read.kind = tokens.at(2) == "on" ? CaptureRecord::ReceiverOn : CaptureRecord::ReceiverOff;
    } else {
        for (qsizetype i = 1; i < tokens.size(); ++i) {
            if (!IsHexByte(tokens.at(i)))
                return Quoted(tokens.at(i)) + u" is not a byte in hex (two hex digits)"_s;
            read.bytes += QByteArray::fromHex(tokens.at(i));
        }
    }
    m_lastMs = *ms;
    record = std::move(read);
    return {};
}

QByteArray Capture::AllBytes() const
{
    QByteArray bytes;
    for (const CaptureRecord &record : records)
        bytes += record.bytes;
    return bytes;
}

QByteArray Capture::ReceiverBytes() const
{
    QByteArray bytes;
    bool on = true;
    for (const CaptureRecord &record : records) {
        if (record.kind != CaptureRecord::Bytes)
            on = record.kind == CaptureRecord::ReceiverOn;
        else if (on)
            bytes += record.bytes;
    }
    return bytes;
}

bool StartsLikeCapture(QByteArrayView text)
{
    if (text.startsWith(ByteOrderMark))
        text = text.sliced(ByteOrderMark.size());
    return text.startsWith(HeaderName);
}

CaptureReadResult ParseCapture(QByteArrayView text)
{
    CaptureReadResult result;
    if (text.startsWith(ByteOrderMark))
        text = text.sliced(ByteOrderMark.size());
    if (text.isEmpty()) {
        result.error = u"empty file: not a line capture"_s;
        return result;
    }

    CaptureLineReader reader;
    qsizetype lineStart = 0;
    for (int lineNumber = 1; lineStart < text.size(); ++lineNumber) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        const bool cutOff = lineEnd < 0;
        if (cutOff)
            lineEnd = text.size();
        QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart);
        if (line.endsWith('\r'))
            line.chop(1);
        lineStart = lineEnd + 1;

        std::optional<CaptureRecord> record;
        const QString error = reader.Read(line, record);
        if (error.isEmpty()) {
            if (record)
                result.capture.records.append(std::move(*record));
            continue;
        }
        if (cutOff && lineNumber > 1) {
            result.warning = u"line %1 is cut off (no line end) and was left out: %2"_s.arg(
                QString::number(lineNumber), error);
            break;
        }
        result.error = lineNumber == 1 ? error : u"line %1: %2"_s.arg(lineNumber).arg(error);
        result.capture = {};
        break;
    }
    if (result.ok())
        result.capture.started = reader.Started();
    return result;
}

CaptureReadResult ReadCaptureFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CaptureReadResult result;
        result.error = u"cannot read %1: %2"_s.arg(path, file.errorString());
        return result;
    }
    CaptureReadResult result = ParseCapture(file.readAll());
    if (!result.error.isEmpty())
        result.error = path + u": "_s + result.error;
    if (!result.warning.isEmpty())
        result.warning = path + u": "_s + result.warning;
    return result;
}

QByteArray FormatCaptureHeader(const QDateTime &started)
{
    return HeaderName.toByteArray() + ' ' + FormatVersion.toByteArray() + ' '
        + started.toOffsetFromUtc(started.offsetFromUtc()).toString(Qt::ISODateWithMs).toLatin1()
        + '\n';
}

QByteArray FormatCaptureRecord(const CaptureRecord &record)
{
    QByteArray line = QByteArray::number(record.ms) + ' ';
    switch (record.kind) {
    case CaptureRecord::Bytes:
        line += record.bytes.toHex(' ').toUpper();
        break;
    case CaptureRecord::ReceiverOn:
        line += "receiver on";
        break;
    case CaptureRecord::ReceiverOff:
        line += "receiver off";
        break;
    }
    return line + '\n';
}

CaptureWriter::CaptureWriter()
{
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(SyncDelayMs);
    QObject::connect(&m_syncTimer, &QTimer::timeout, [this] { SyncToDisk(); });
}

CaptureWriter::~CaptureWriter()
{
    Close();
}

QString CaptureWriter::Open(const QString &path, const QDateTime &started)
{
    Close();
    m_error.clear();
    const QFileInfo target(path);
    m_file.setFileName(target.isDir() ? FreeFileIn(QDir(path), started) : path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return u"cannot create the capture %1: %2"_s.arg(m_file.fileName(), m_file.errorString());
    m_clock.start();
    Append(FormatCaptureHeader(started));
    return m_error;
}

void CaptureWriter::WriteBytes(const quint8 *data, quint32 size)
{
    if (!IsOpen() || size == 0)
        return;
    Write({ .ms = m_clock.elapsed(),
        .kind = CaptureRecord::Bytes,
        .bytes = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)) });
}

void CaptureWriter::WriteReceiverState(bool on)
{
    if (IsOpen())
        Write({ .ms = m_clock.elapsed(),
            .kind = on ? CaptureRecord::ReceiverOn : CaptureRecord::ReceiverOff,
            .bytes = {} });
}

void CaptureWriter::Write(const CaptureRecord &record)
{
    if (IsOpen())
        Append(FormatCaptureRecord(record));
}

void CaptureWriter::Close()
{
    if (!IsOpen())
        return;
    SyncToDisk();
    m_file.close();
}

void CaptureWriter::Append(const QByteArray &line)
{
    // QFile buffers; flush() hands the line to the operating system.
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        Fail(m_file.errorString());
        return;
    }
    if (!m_syncTimer.isActive())
        m_syncTimer.start();
}

void CaptureWriter::SyncToDisk()
{
    m_syncTimer.stop();
    if (!IsOpen())
        return;
        // A pipe or a terminal cannot be synced, and needs not be.
#ifdef Q_OS_WIN
    const bool failed = ::_commit(m_file.handle()) != 0 && errno != EBADF;
#else
    const bool failed = ::fdatasync(m_file.handle()) != 0 && errno != EINVAL;
#endif
    if (failed)
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
}

void CaptureWriter::Fail(const QString &what)
{
    m_error = u"cannot write the capture %1: %2"_s.arg(m_file.fileName(), what);
    m_syncTimer.stop();
    m_file.close();
    if (m_onFailure)
        m_onFailure(m_error);
}

} // namespace kavro
