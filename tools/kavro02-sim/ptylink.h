#pragma once

#include "bytelink.h"

#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace kavro::sim {

// A pseudo-terminal pair: the program opens the slave side like a serial
// device, the simulator plays the instrument on the master side. The slave
// is also reachable through a symbolic link, removed again on destruction.
class PtyLink : public ByteLink
{
    Q_OBJECT
public:
    explicit PtyLink(QObject *parent = nullptr);
    ~PtyLink() override;

    // Returns an error text, empty on success.
    QString Open(const QString &linkPath);
    QString DevicePath() const { return m_devicePath; }

    qint64 Write(const QByteArray &bytes) override;

private:
    QString MakeSlaveRaw();
    QString CreateLink(const QString &linkPath);
    void RemoveLink();
    void WatchPeer();
    void SetPeerConnected(bool connected);
    void ReadAvailable();

    int m_master = -1;
    QString m_devicePath;
    QString m_linkPath;
    QSocketNotifier *m_readNotifier = nullptr;
    QTimer m_peerWatch;
    bool m_peerConnected = false;
};

} // namespace kavro::sim
