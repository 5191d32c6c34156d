#pragma once

#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace kavro::test {

// A PostgreSQL server of the test's own: a fresh cluster in a temporary
// folder (initdb), started and stopped with pg_ctl, reachable only through a
// Unix socket in that folder, on a port no other server uses. Its superuser
// logs in with a password (scram-sha-256), so a wrong password is refused.
//
// The server refuses to run as root. Run as root (as CI does), the cluster
// belongs to the unprivileged system user "postgres" that Debian's package
// creates: the folder is handed to it and initdb and pg_ctl run through
// "runuser -u postgres --".
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer(); // stops the server; the folder goes with the object
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Why no server can be run on this machine (programs missing, no user to
    // run them as root), for QSKIP; nothing when it can.
    static std::optional<QString> Unavailable();

    // Creates the cluster on the first call, then starts the server and waits
    // until it accepts connections. False with Error() on failure.
    bool Start();
    // Stops the server ("fast": open connections are cut). False with Error().
    bool Stop();
    bool IsRunning() const { return running_; }
    const QString &Error() const { return error_; }

    // What a client needs: the socket folder serves as host name.
    QString SocketFolder() const;
    int Port() const { return port_; }
    QString UserName() const { return QStringLiteral("kavro"); }
    QString Password() const { return QStringLiteral("Kavro-02 test"); }
    QString DatabaseName() const { return QStringLiteral("postgres"); }

private:
    bool InitCluster();
    bool RunServerProgram(const QString &program, const QStringList &arguments);

    QTemporaryDir folder_;
    QString programs_;
    int port_ = 0;
    bool initialised_ = false;
    bool running_ = false;
    QString error_;
};

} // namespace kavro::test
