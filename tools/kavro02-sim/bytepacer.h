#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace kavro::sim {

class ByteLink;
class ByteSource;

// Moves the instrument's bytes onto the line at the speed of a 9600 bit/s
// line (10 bits per byte: 960 bytes per second), or as fast as the line
// takes them. Session time runs from Start(); when fast it is the time the
// bytes would have taken on the real line.
class BytePacer : public QObject
{
    Q_OBJECT
public:
    enum Pacing { Paced, Fast };
    static constexpr double LineBytesPerSecond = 960;

    BytePacer(ByteSource &source, ByteLink &link, Pacing pacing, QObject *parent = nullptr);

    void Start();
    bool Started() const { return m_started; }
    double Now() const;
    qint64 BytesSent() const { return m_bytesSent; }
    // Ends the session after this much session time; negative: never.
    void SetDuration(double seconds) { m_duration = seconds; }
    // Whether a program listens. A paced line runs on regardless (its bytes
    // are lost); a fast one waits rather than race through session time.
    void SetListening(bool listening);

Q_SIGNALS:
    // Session time before each new chunk: scripted commands and scenario
    // events hook in here.
    void Tick(double now);
    void DurationReached();

private:
    void SendPaced();
    void SendFast();
    bool FetchChunk(double now);
    bool DurationOver(double now);

    ByteSource &m_source;
    ByteLink &m_link;
    Pacing m_pacing;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_started = false;
    double m_duration = -1;
    double m_lastTick = 0;
    double m_budget = 0; // bytes the line may carry now (paced)
    double m_virtualTime = 0; // session time (fast)
    QByteArray m_pending;
    qint64 m_bytesSent = 0;
};

} // namespace kavro::sim
