#pragma once

#include <QByteArray>
#include <QObject>

namespace kavro::sim {

// The instrument's end of the serial line.
class ByteLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Sends bytes; returns how many the line took. Bytes sent while no
    // program listens are lost, as on a real line, and count as taken.
    virtual qint64 Write(const QByteArray &bytes) = 0;

Q_SIGNALS:
    void BytesReceived(const QByteArray &bytes);
    void PeerConnectedChanged(bool connected);
};

} // namespace kavro::sim
