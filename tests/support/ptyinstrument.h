#pragma once

#include "support/pseudoterminal.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace kavro::test {

// Plays the instrument on the master side of a pseudo-terminal pair while
// the program runs its event loops: it sends what a test gives it, can stream
// live readings on its own, and records every command byte the program sends.
class PtyInstrument : public QObject
{
    Q_OBJECT

public:
    // One live reading: channel 3, raw value 0xA35 (2613).
    static const QByteArray Reading;

    PtyInstrument();

    bool IsOpen() const { return pty_.IsOpen(); }
    QString SlavePath() const { return pty_.SlavePath(); }

    void Send(const QByteArray &bytes);
    void StartReadings(const QByteArray &reading = Reading, int periodMs = 20);
    void StopReadings();
    // The instrument is unplugged: the master side closes under the program.
    void Unplug();
    bool StreamingReadings() const { return readings_.isActive(); }

    // Whether this process holds the slave side open (the program's port).
    bool SlaveOpenInProcess() const;

    QByteArray received; // every byte the program sent
    std::function<void(quint8)> onCommand; // runs for each byte received

private:
    void Poll();

    PseudoTerminal pty_;
    QTimer poll_;
    QTimer readings_;
    QByteArray reading_;
};

} // namespace kavro::test
