#include "support/pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0)
        return;
    termios settings {};
    const char *slave = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::tcgetattr(master, &settings) != 0
        || (slave = ::ptsname(master)) == nullptr) {
        ::close(master);
        return;
    }
    ::cfmakeraw(&settings);
    ::tcsetattr(master, TCSANOW, &settings);
    m_master = master;
    m_slavePath = QString::fromLocal8Bit(slave);
}

PseudoTerminal::~PseudoTerminal()
{
    Close();
}

void PseudoTerminal::Close()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

termios PseudoTerminal::Settings() const
{
    termios settings {};
    ::tcgetattr(m_master, &settings);
    return settings;
}

bool PseudoTerminal::Write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written
            = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (written > 0) {
            done += written;
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd fd { m_master, POLLOUT, 0 };
        if (::poll(&fd, 1, 1000) <= 0)
            return false;
    }
    return true;
}

qsizetype PseudoTerminal::WriteAvailable(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written
            = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (written <= 0)
            break;
        done += written;
    }
    return done;
}

QByteArray PseudoTerminal::Read(qsizetype count, int timeoutMs)
{
    QByteArray bytes;
    char chunk[4096];
    while (bytes.size() < count) {
        pollfd fd { m_master, POLLIN, 0 };
        if (::poll(&fd, 1, timeoutMs) <= 0)
            break;
        const ssize_t read
            = ::read(m_master, chunk, std::min<size_t>(sizeof chunk, size_t(count - bytes.size())));
        if (read > 0)
            bytes.append(chunk, read);
        else if (read == 0 || (errno != EAGAIN && errno != EINTR))
            break; // EIO: no slave side open
    }
    return bytes;
}

QByteArray PseudoTerminal::ReadUntilQuiet(int quietMs)
{
    QByteArray bytes;
    for (;;) {
        const QByteArray more = Read(1 << 16, quietMs);
        if (more.isEmpty())
            return bytes;
        bytes += more;
    }
}
