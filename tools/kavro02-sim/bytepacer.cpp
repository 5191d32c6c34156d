#include "bytepacer.h"

#include "bytelink.h"
#include "bytesource.h"

#include <algorithm>
#include <cmath>

namespace kavro::sim {

namespace {

constexpr int PacedTickMs = 5;
// A stalled line does not make up for lost time in one burst.
constexpr double LongestBurstBytes = 48;
// Bytes moved per event-loop turn when fast, so commands still get in.
constexpr qint64 FastBytesPerTurn = 4096;
constexpr int IdleRecheckMs = 20;

} // namespace

BytePacer::BytePacer(ByteSource &source, ByteLink &link, Pacing pacing, QObject *parent)
    : QObject(parent)
    , m_source(source)
    , m_link(link)
    , m_pacing(pacing)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(pacing == Paced ? PacedTickMs : 0);
    connect(&m_timer, &QTimer::timeout, this,
        pacing == Paced ? &BytePacer::SendPaced : &BytePacer::SendFast);
}

void BytePacer::Start()
{
    m_started = true;
    m_clock.start();
    m_timer.start();
}

void BytePacer::SetListening(bool listening)
{
    if (m_pacing == Paced || !m_started)
        return;
    if (listening)
        m_timer.start();
    else
        m_timer.stop();
}

double BytePacer::Now() const
{
    if (!m_started)
        return 0;
    return m_pacing == Paced ? static_cast<double>(m_clock.nsecsElapsed()) / 1e9 : m_virtualTime;
}

bool BytePacer::DurationOver(double now)
{
    if (m_duration < 0 || now < m_duration)
        return false;
    m_timer.stop();
    Q_EMIT DurationReached();
    return true;
}

bool BytePacer::FetchChunk(double now)
{
    if (m_pending.isEmpty()) {
        Q_EMIT Tick(now);
        m_pending = m_source.NextChunk(now);
    }
    return !m_pending.isEmpty();
}

void BytePacer::SendPaced()
{
    const double now = Now();
    if (DurationOver(now))
        return;
    m_budget = std::min(m_budget + (now - m_lastTick) * LineBytesPerSecond, LongestBurstBytes);
    m_lastTick = now;
    while (m_budget >= 1 && FetchChunk(now)) {
        const auto allowed = std::min<qint64>(static_cast<qint64>(m_budget), m_pending.size());
        const qint64 written = m_link.Write(m_pending.first(allowed));
        m_pending.remove(0, written);
        m_bytesSent += written;
        m_budget -= static_cast<double>(written);
        if (written < allowed)
            break; // the program is not reading; try again next tick
    }
}

void BytePacer::SendFast()
{
    qint64 movedThisTurn = 0;
    while (movedThisTurn < FastBytesPerTurn) {
        if (DurationOver(m_virtualTime))
            return;
        if (!FetchChunk(m_virtualTime)) {
            // Skip the quiet time to the next chunk; when none will come,
            // to the end of the session, or idle when it has no end.
            const double due = m_source.NextDueTime();
            if (std::isinf(due) && m_duration < 0) {
                m_timer.setInterval(IdleRecheckMs);
                return;
            }
            m_virtualTime = std::isinf(due) ? m_duration : std::max(m_virtualTime, due);
            continue;
        }
        const qint64 written = m_link.Write(m_pending);
        m_pending.remove(0, written);
        m_bytesSent += written;
        movedThisTurn += written;
        m_virtualTime += static_cast<double>(written) / LineBytesPerSecond;
        if (written == 0) {
            m_timer.setInterval(1); // the line is full; wait for the program
            return;
        }
    }
    m_timer.setInterval(0);
}

} // namespace kavro::sim
