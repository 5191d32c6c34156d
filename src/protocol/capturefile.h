#pragma once

// Line captures: the bytes the program received from the instrument, batch
// by batch, with their arrival times, as a text file a service engineer can
// read (kavro02 --capture writes it; kavro02-decode and kavro02-sim --replay
// read it). tools/kavro02-decode/README.md describes the format:
//
//   KAVRO02-CAPTURE 1 2026-12-08T10:00:00.000+03:00
//   0 receiver off
//   1432 E3 2A 13 05 E1 20 10 00
//   3436 receiver on
//
// The first line names the format, its version and the local date-time of
// the start. Every further line begins with the milliseconds since the start
// (a monotonic clock, never decreasing) and holds either one batch of
// received bytes as two-digit hex, or "receiver on" / "receiver off": from
// there on the program hands (or stops handing) what it receives to its
// receiver. Lines beginning with '#' and empty lines are ignored.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

namespace kavro {

struct CaptureRecord
{
    enum Kind { Bytes, ReceiverOn, ReceiverOff };

    qint64 ms = 0;
    Kind kind = Bytes;
    QByteArray bytes; // Bytes only; never empty there

    friend bool operator==(const CaptureRecord &, const CaptureRecord &) = default;
};

struct Capture
{
    QDateTime started;
    QList<CaptureRecord> records;

    // Every byte received, in order.
    QByteArray AllBytes() const;
    // The bytes the receiver was given: those received while it was on. A
    // capture without receiver lines gave it everything.
    QByteArray ReceiverBytes() const;
};

struct CaptureReadResult
{
    Capture capture;
    QString error; // empty when the text is a sound capture
    QString warning; // a cut-off last line that was left out
    bool ok() const { return error.isEmpty(); }
};

// Reads a capture one line at a time, the header line first, for readers
// that go as the lines arrive (ParseCapture uses it too). Lines are given
// without their line end.
class CaptureLineReader
{
public:
    // An error text for a line that is not sound, empty otherwise. A sound
    // line after the header that holds a record sets record (comments and
    // empty lines do not).
    QString Read(QByteArrayView line, std::optional<CaptureRecord> &record);
    // Reads the following lines as if a header had been read (a text that
    // may be a capture without its first line).
    void AssumeHeader() { m_headerRead = true; }
    const QDateTime &Started() const { return m_started; }

private:
    QString ReadHeader(QByteArrayView line);
    QString ReadRecord(QByteArrayView line, std::optional<CaptureRecord> &record);

    bool m_headerRead = false;
    QDateTime m_started;
    qint64 m_lastMs = 0;
};

// Whether the text begins with the capture header's name (a UTF-8 byte order
// mark before it is allowed).
bool StartsLikeCapture(QByteArrayView text);

// Reads a whole capture. A last line without its line end (the writer was
// cut off) is taken when it is sound and left out with a warning when not;
// every other fault is an error naming the line.
CaptureReadResult ParseCapture(QByteArrayView text);
// The same for a file; its messages begin with the path.
CaptureReadResult ReadCaptureFile(const QString &path);

QByteArray FormatCaptureHeader(const QDateTime &started);
QByteArray FormatCaptureRecord(const CaptureRecord &record); // with its line end

// Writes a capture as the bytes arrive. Each line reaches the operating
// system at once (a crash of the program loses nothing); the file is synced
// to the disk a second after the first line not yet synced, so a power cut
// loses at most about the last second. Must live on a thread with an event
// loop for that timer. Writes nothing after the first failure.
class CaptureWriter
{
public:
    CaptureWriter();
    ~CaptureWriter();

    // Creates the file (replacing one that exists) and writes the header;
    // the capture's clock starts now. A path that names a folder gets a new
    // file in it named after the start, kavro02-YYYYMMDD-HHMMSS.txt. Returns
    // an error text, empty on success.
    QString Open(const QString &path, const QDateTime &started);
    bool IsOpen() const { return m_file.isOpen(); }
    QString FileName() const { return m_file.fileName(); }

    // Records at the time elapsed since Open.
    void WriteBytes(const quint8 *data, quint32 size);
    void WriteReceiverState(bool on);
    // Records at a given time (tests, tools).
    void Write(const CaptureRecord &record);

    // Syncs and closes; later writes are ignored.
    void Close();

    // The first failure to write; the capture ends there.
    QString Error() const { return m_error; }
    void SetOnFailure(std::function<void(const QString &error)> handler)
    {
        m_onFailure = std::move(handler);
    }

private:
    void Append(const QByteArray &line);
    void SyncToDisk();
    void Fail(const QString &what);

    QFile m_file;
    QElapsedTimer m_clock;
    QTimer m_syncTimer;
    QString m_error;
    std::function<void(const QString &)> m_onFailure;
};

} // namespace kavro
