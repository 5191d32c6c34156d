#include "ptyinstrument.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavro::test {

const QByteArray PtyInstrument::Reading = QByteArray::fromHex("e32a1305");

PtyInstrument::PtyInstrument()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = QString::fromLocal8Bit(ptsname(master_));
    termios raw {};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);

    // Polled rather than watched: a master whose slave is closed reads as
    // hung up, which a socket notifier would report without end.
    connect(&poll_, &QTimer::timeout, this, &PtyInstrument::Poll);
    poll_.start(5);
    connect(&readings_, &QTimer::timeout, this, [this] { Send(reading_); });
}

PtyInstrument::~PtyInstrument()
{
    if (master_ >= 0)
        ::close(master_);
}

void PtyInstrument::Send(const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (n > 0)
            sent += n;
    }
}

void PtyInstrument::StartReadings(const QByteArray &reading, int periodMs)
{
    reading_ = reading;
    readings_.start(periodMs);
}

void PtyInstrument::StopReadings()
{
    readings_.stop();
}

bool PtyInstrument::SlaveOpenInProcess() const
{
    const QDir fds(u"/proc/self/fd"_s);
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == slavePath_)
            return true;
    return false;
}

void PtyInstrument::Poll()
{
    char buffer[256];
    ssize_t n;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            received.append(buffer[i]);
            if (onCommand)
                onCommand(quint8(buffer[i]));
        }
    }
}

} // namespace kavro::test
