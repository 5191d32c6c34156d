#include "support/postgresserver.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavro::test {

namespace {

const QString ServerUser = u"postgres"_s;
constexpr int ProgramTimeoutMs = 120'000;

bool RunningAsRoot()
{
    return geteuid() == 0;
}

// The folder holding initdb and pg_ctl: KAVRO_PG_BIN, else the newest
// /usr/lib/postgresql/<version>/bin (Debian's layout).
QString ServerProgramsFolder()
{
    QStringList candidates;
    if (const QString fromEnvironment = qEnvironmentVariable("KAVRO_PG_BIN");
        !fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    QStringList versions
        = QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
        [&](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &version : versions)
        candidates << u"/usr/lib/postgresql/%1/bin"_s.arg(version);
    for (const QString &folder : candidates)
        if (QFileInfo(folder + u"/initdb"_s).isExecutable()
            && QFileInfo(folder + u"/pg_ctl"_s).isExecutable())
            return folder;
    return {};
}

QString RunuserProgram()
{
    return QStandardPaths::findExecutable(
        u"runuser"_s, { u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s, u"/bin"_s });
}

// A TCP port that no program listens on now. The server listens on a Unix
// socket only, but its socket file is named after the port.
int FreePort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0)
        return 0;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(probe);
    return port;
}

// Hands a file or folder to the server's user when running as root.
bool GiveToServerUser(const QString &path)
{
    if (!RunningAsRoot())
        return true;
    const passwd *user = getpwnam(ServerUser.toLocal8Bit().constData());
    return user && chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) == 0;
}

} // namespace

PostgresServer::PostgresServer()
    : programs_(ServerProgramsFolder())
{ }

PostgresServer::~PostgresServer()
{
    if (running_)
        RunServerProgram(u"pg_ctl"_s,
            { u"-D"_s, folder_.filePath(u"data"_s), u"-m"_s, u"immediate"_s, u"-w"_s, u"stop"_s });
}

std::optional<QString> PostgresServer::Unavailable()
{
    if (ServerProgramsFolder().isEmpty())
        return u"PostgreSQL server programs (initdb, pg_ctl) not found in "
               u"/usr/lib/postgresql/*/bin or $KAVRO_PG_BIN; install the package postgresql"_s;
    if (RunningAsRoot() && (RunuserProgram().isEmpty() || !getpwnam("postgres")))
        return u"running as root, the server needs the user \"postgres\" and runuser"_s;
    return std::nullopt;
}

QString PostgresServer::SocketFolder() const
{
    return folder_.filePath(u"socket"_s);
}

bool PostgresServer::RunServerProgram(const QString &program, const QStringList &arguments)
{
    QString executable = programs_ + u'/' + program;
    QStringList allArguments = arguments;
    if (RunningAsRoot()) {
        allArguments.prepend(executable);
        allArguments = QStringList { u"-u"_s, ServerUser, u"--"_s } + allArguments;
        executable = RunuserProgram();
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder_.path());
    process.start(executable, allArguments);
    const bool finished = process.waitForFinished(ProgramTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    error_ = u"%1 failed (%2): %3"_s.arg(
        program, process.errorString(), QString::fromLocal8Bit(process.readAll()).trimmed());
    return false;
}

bool PostgresServer::InitCluster()
{
    if (const std::optional<QString> reason = Unavailable()) {
        error_ = *reason;
        return false;
    }
    const QString passwordFile = folder_.filePath(u"password"_s);
    QFile password(passwordFile);
    if (!folder_.isValid() || !QDir(folder_.path()).mkdir(u"socket"_s)
        || !password.open(QIODevice::WriteOnly)) {
        error_ = u"cannot prepare the server folder "_s + folder_.path();
        return false;
    }
    password.write(Password().toUtf8() + '\n');
    password.close();
    if (!GiveToServerUser(folder_.path()) || !GiveToServerUser(SocketFolder())
        || !GiveToServerUser(passwordFile)) {
        error_ = u"cannot hand the server folder to the user postgres"_s;
        return false;
    }
    port_ = FreePort();
    const QString data = folder_.filePath(u"data"_s);
    if (!RunServerProgram(u"initdb"_s,
            { u"-D"_s, data, u"-U"_s, UserName(), u"--pwfile"_s, passwordFile, u"-A"_s,
                u"scram-sha-256"_s, u"-E"_s, u"UTF8"_s, u"--no-locale"_s, u"--no-sync"_s,
                u"--no-instructions"_s }))
        return false;

    // Only the socket, in the test's folder; no durability needed.
    QFile configuration(data + u"/postgresql.conf"_s);
    if (!configuration.open(QIODevice::Append)) {
        error_ = u"cannot write "_s + configuration.fileName();
        return false;
    }
    configuration.write(
        u"\nlisten_addresses = ''\nport = %1\nunix_socket_directories = '%2'\n"
        u"fsync = off\nsynchronous_commit = off\nfull_page_writes = off\n"_s.arg(port_)
            .arg(SocketFolder())
            .toUtf8());
    initialised_ = true;
    return true;
}

bool PostgresServer::Start()
{
    if (running_)
        return true;
    if (!initialised_ && !InitCluster())
        return false;
    running_ = RunServerProgram(u"pg_ctl"_s,
        { u"-D"_s, folder_.filePath(u"data"_s), u"-l"_s, folder_.filePath(u"server.log"_s), u"-w"_s,
            u"-t"_s, u"60"_s, u"start"_s });
    if (!running_) {
        QFile log(folder_.filePath(u"server.log"_s));
        if (log.open(QIODevice::ReadOnly))
            error_ += u"\nserver log:\n"_s + QString::fromUtf8(log.readAll().right(2000));
    }
    return running_;
}

bool PostgresServer::Stop()
{
    if (!running_)
        return true;
    if (!RunServerProgram(u"pg_ctl"_s,
            { u"-D"_s, folder_.filePath(u"data"_s), u"-m"_s, u"fast"_s, u"-w"_s, u"stop"_s }))
        return false;
    running_ = false;
    return true;
}

} // namespace kavro::test
