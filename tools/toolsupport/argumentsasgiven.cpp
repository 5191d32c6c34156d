#include "argumentsasgiven.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kavro::tools {

namespace {

constexpr char16_t KeptByteBase = 0xDC00; // U+DC80 … U+DCFF: a byte 0x80 … 0xFF

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at`, or 0 (RFC 3629:
// no overlong forms, no surrogates, nothing above U+10FFFF).
qsizetype SequenceLength(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80; // allowed range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return 0;
    }
    return length;
}

QString DecodeKeepingBytes(const QByteArray &bytes)
{
    QString text;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = SequenceLength(bytes, at);
        if (length == 0) {
            text += QChar(char16_t(KeptByteBase + static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            text += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        }
    }
    return text;
}

bool IsKeptByte(QChar c)
{
    return c.unicode() >= KeptByteBase + 0x80 && c.unicode() <= KeptByteBase + 0xFF;
}

} // namespace

QStringList ArgumentsAsGiven(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::arguments();
#else
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << DecodeKeepingBytes(QByteArray(argv[i]));
    return arguments;
#endif
}

QByteArray LocalName(const QString &argument)
{
    QByteArray bytes;
    QString run; // text between kept bytes
    for (const QChar c : argument) {
        if (!IsKeptByte(c)) {
            run += c;
            continue;
        }
        bytes += QFile::encodeName(run);
        run.clear();
        bytes += char(c.unicode() - KeptByteBase);
    }
    return bytes + QFile::encodeName(run);
}

QString ReadableName(const QString &argument)
{
    QString readable = argument;
    for (QChar &c : readable) {
        if (IsKeptByte(c))
            c = QChar::ReplacementCharacter;
    }
    return readable;
}

bool OpenForReading(QFile &file, const QString &argument, QString &error)
{
#ifdef Q_OS_UNIX
    // QFile knows files by text, which cannot hold every name: open by the bytes.
    const int fd = ::open(LocalName(argument).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = qt_error_string(errno);
        return false;
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        error = qt_error_string(EISDIR);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
#else
    file.setFileName(argument);
    if (file.open(QIODevice::ReadOnly))
        return true;
    error = file.errorString();
    return false;
#endif
}

} // namespace kavro::tools
