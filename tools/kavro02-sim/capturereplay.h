#pragma once

#include "bytesource.h"

#include "protocol/capturefile.h"

#include <QList>

namespace kavro::sim {

// Plays a line capture (kavro02 --capture) back: each batch of received
// bytes falls due at its recorded distance from the first batch, whatever
// the program sends; after the last one the instrument is silent. The
// quiet time before the first batch and the receiver lines are not played.
class CaptureReplay : public ByteSource
{
public:
    explicit CaptureReplay(const Capture &capture);

    void ReceiveCommand(std::uint8_t) override { }
    QByteArray NextChunk(double now) override;
    double NextDueTime() const override;

    // Every batch has been handed out.
    bool Finished() const { return m_next >= m_batches.size(); }
    qint64 ByteCount() const { return m_byteCount; }

private:
    struct Batch
    {
        double due; // seconds after the first batch
        QByteArray bytes;
    };

    QList<Batch> m_batches;
    qsizetype m_next = 0;
    qint64 m_byteCount = 0;
};

} // namespace kavro::sim
