#include "processwatch.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavro::sim {

namespace {

// The handler may only write to a descriptor; the event loop does the rest.
int signalPipe[2] = { -1, -1 };

void ForwardSignal(int number)
{
    const auto byte = static_cast<unsigned char>(number);
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

constexpr std::array WatchedSignals = { SIGINT, SIGTERM, SIGHUP, SIGUSR1 };
constexpr int ParentPollMs = 200;

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::Dispatch);
    struct sigaction action
    {
    };
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : WatchedSignals)
        ::sigaction(number, &action, nullptr);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (int number : WatchedSignals)
        ::signal(number, SIG_DFL);
}

void UnixSignalWatcher::Dispatch()
{
    unsigned char number = 0;
    if (::read(signalPipe[1], &number, 1) != 1)
        return;
    if (number == SIGUSR1)
        Q_EMIT IdleSpeedToggleRequested();
    else
        Q_EMIT TerminationRequested();
}

ParentWatch::ParentWatch(qint64 pid, QObject *parent)
    : QObject(parent)
    , m_pid(pid)
{
    m_timer.setInterval(ParentPollMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!Alive(m_pid)) {
            m_timer.stop();
            Q_EMIT ParentEnded();
        }
    });
    m_timer.start();
}

bool ParentWatch::Alive(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    // "pid (name) S ...": the state letter follows the last ')'.
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd < 0 || line.size() < nameEnd + 3 || line.at(nameEnd + 2) != 'Z';
}

StdinControl::StdinControl(QObject *parent)
    : QObject(parent)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinControl::ReadLine);
}

void StdinControl::ReadLine()
{
    char buffer[256];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        m_notifier.setEnabled(false); // end of input: nothing more to steer with
        return;
    }
    m_buffer.append(buffer, count);
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end).trimmed();
        m_buffer.remove(0, end + 1);
        if (line == "h")
            Q_EMIT RaisedIdleRequested(true);
        else if (line == "i")
            Q_EMIT RaisedIdleRequested(false);
        else if (line.isEmpty())
            Q_EMIT IdleSpeedToggleRequested();
    }
}

} // namespace kavro::sim
