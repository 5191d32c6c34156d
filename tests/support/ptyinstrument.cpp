#include "support/ptyinstrument.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavro::test {

const QByteArray PtyInstrument::Reading = QByteArray::fromHex("e32a1305");

PtyInstrument::PtyInstrument()
{
    // Polled rather than watched: a master whose slave is closed reads as
    // hung up, which a socket notifier would report without end.
    connect(&poll_, &QTimer::timeout, this, &PtyInstrument::Poll);
    poll_.start(5);
    connect(&readings_, &QTimer::timeout, this, [this] { Send(reading_); });
}

void PtyInstrument::Send(const QByteArray &bytes)
{
    pty_.Write(bytes);
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

void PtyInstrument::Unplug()
{
    readings_.stop();
    poll_.stop();
    pty_.Close();
}

bool PtyInstrument::SlaveOpenInProcess() const
{
    const QDir fds(u"/proc/self/fd"_s);
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == pty_.SlavePath())
            return true;
    return false;
}

void PtyInstrument::Poll()
{
    for (const char byte : pty_.Read(1 << 16, 0)) {
        received.append(byte);
        if (onCommand)
            onCommand(quint8(byte));
    }
}

} // namespace kavro::test
