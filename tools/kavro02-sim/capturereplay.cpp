#include "capturereplay.h"

#include <limits>

namespace kavro::sim {

CaptureReplay::CaptureReplay(const Capture &capture)
{
    qint64 firstMs = -1;
    for (const CaptureRecord &record : capture.records) {
        if (record.kind != CaptureRecord::Bytes)
            continue;
        if (firstMs < 0)
            firstMs = record.ms;
        m_batches.append({ static_cast<double>(record.ms - firstMs) / 1000.0, record.bytes });
        m_byteCount += record.bytes.size();
    }
}

QByteArray CaptureReplay::NextChunk(double now)
{
    QByteArray chunk;
    while (m_next < m_batches.size() && m_batches.at(m_next).due <= now)
        chunk += m_batches.at(m_next++).bytes;
    return chunk;
}

double CaptureReplay::NextDueTime() const
{
    return Finished() ? std::numeric_limits<double>::infinity() : m_batches.at(m_next).due;
}

} // namespace kavro::sim
