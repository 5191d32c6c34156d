#include "ptylink.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavro::sim {

namespace {

constexpr int PeerWatchIntervalMs = 50;

QString SystemError(const QString &what)
{
    return what + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyLink::PtyLink(QObject *parent)
    : ByteLink(parent)
{
    m_peerWatch.setInterval(PeerWatchIntervalMs);
    connect(&m_peerWatch, &QTimer::timeout, this, &PtyLink::WatchPeer);
}

PtyLink::~PtyLink()
{
    RemoveLink();
    if (m_master >= 0)
        ::close(m_master);
}

QString PtyLink::Open(const QString &linkPath)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0)
        return SystemError(u"cannot open a pseudo-terminal"_s);
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return SystemError(u"cannot unlock the pseudo-terminal"_s);
    m_devicePath = QString::fromLocal8Bit(::ptsname(m_master));

    if (QString error = MakeSlaveRaw(); !error.isEmpty())
        return error;
    if (!linkPath.isEmpty()) {
        if (QString error = CreateLink(linkPath); !error.isEmpty())
            return error;
    }

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLink::ReadAvailable);
    m_peerWatch.start();
    return {};
}

// A fresh pseudo-terminal echoes and edits lines; the instrument's line
// carries raw bytes. Closing the slave again leaves the master hung up
// until the program opens the device, which is how the peer is noticed.
QString PtyLink::MakeSlaveRaw()
{
    const int slave = ::open(m_devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slave < 0)
        return SystemError(u"cannot open "_s + m_devicePath);
    termios settings {};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B9600);
    const bool ok = ::tcsetattr(slave, TCSANOW, &settings) == 0;
    const QString error = ok ? QString() : SystemError(u"cannot set raw mode"_s);
    ::close(slave);
    return error;
}

QString PtyLink::CreateLink(const QString &linkPath)
{
    const QFileInfo existing(linkPath);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink())
            return linkPath + u" exists and is not a symbolic link; not replaced"_s;
        QFile::remove(linkPath); // a link left behind by an earlier run
    }
    if (::symlink(m_devicePath.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0)
        return SystemError(u"cannot create the link "_s + linkPath);
    m_linkPath = linkPath;
    return {};
}

void PtyLink::RemoveLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: another simulator may have taken the name since.
    if (QFileInfo(m_linkPath).symLinkTarget() == m_devicePath)
        QFile::remove(m_linkPath);
    m_linkPath.clear();
}

void PtyLink::WatchPeer()
{
    pollfd descriptor { m_master, POLLIN, 0 };
    ::poll(&descriptor, 1, 0);
    SetPeerConnected((descriptor.revents & POLLHUP) == 0);
}

void PtyLink::SetPeerConnected(bool connected)
{
    if (connected == m_peerConnected)
        return;
    m_peerConnected = connected;
    m_readNotifier->setEnabled(connected);
    Q_EMIT PeerConnectedChanged(connected);
}

void PtyLink::ReadAvailable()
{
    QByteArray received;
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            received.append(buffer, count);
            continue;
        }
        if (count < 0 && errno == EIO)
            SetPeerConnected(false); // the program closed the device
        break;
    }
    if (!received.isEmpty())
        Q_EMIT BytesReceived(received);
}

qint64 PtyLink::Write(const QByteArray &bytes)
{
    if (!m_peerConnected)
        return bytes.size();
    const ssize_t written = ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (written >= 0)
        return written;
    if (errno == EIO) {
        SetPeerConnected(false);
        return bytes.size();
    }
    return 0; // the program does not read: the line is full
}

} // namespace kavro::sim
