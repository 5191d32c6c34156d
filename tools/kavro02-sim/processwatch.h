#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace kavro::sim {

// Turns the Unix signals that concern the simulator into Qt signals:
// SIGINT, SIGTERM and SIGHUP end it, SIGUSR1 switches the engine between
// minimum and increased idle speed.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void TerminationRequested();
    void IdleSpeedToggleRequested();

private:
    void Dispatch();

    QSocketNotifier *m_notifier = nullptr;
};

// Ends the simulator when the program it serves has ended (a process that
// is gone or a zombie waiting to be reaped).
class ParentWatch : public QObject
{
    Q_OBJECT
public:
    ParentWatch(qint64 pid, QObject *parent = nullptr);
    static bool Alive(qint64 pid);

Q_SIGNALS:
    void ParentEnded();

private:
    qint64 m_pid;
    QTimer m_timer;
};

// Lines on standard input steer the engine: "h" increased idle, "i"
// minimum idle, an empty line switches between them.
class StdinControl : public QObject
{
    Q_OBJECT
public:
    explicit StdinControl(QObject *parent = nullptr);

Q_SIGNALS:
    void RaisedIdleRequested(bool raised);
    void IdleSpeedToggleRequested();

private:
    void ReadLine();

    QSocketNotifier m_notifier;
    QByteArray m_buffer;
};

} // namespace kavro::sim
