#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>

// The master side of a pseudo-terminal pair, in raw mode. Tests play the
// instrument here; the driver opens SlavePath() like any serial device.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool IsOpen() const { return m_master >= 0; }
    void Close(); // the device goes away under the driver
    QString SlavePath() const { return m_slavePath; }

    // The line settings of the slave side, as the driver set them.
    termios Settings() const;

    // Writes all bytes (the slave side reads them); false on an error.
    bool Write(const QByteArray &bytes);
    // Writes what the system takes at once, without waiting; the count written.
    qsizetype WriteAvailable(const QByteArray &bytes);
    // Reads until count bytes have come or timeoutMs passed without any.
    QByteArray Read(qsizetype count, int timeoutMs);
    // Reads whatever comes until quietMs pass without a byte.
    QByteArray ReadUntilQuiet(int quietMs);

private:
    int m_master = -1;
    QString m_slavePath;
};
