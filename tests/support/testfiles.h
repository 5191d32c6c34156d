#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace kavro::test {

// The whole file, or nothing when it cannot be read.
inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The command codes the program sent, in order, from the simulator's log.
inline QStringList SimulatorCommands(const QString &log)
{
    QStringList codes;
    static const QRegularExpression received(QStringLiteral("received\\s+(\\d+)"));
    for (const QByteArray &line : ReadFile(log).split('\n')) {
        const QRegularExpressionMatch match = received.match(QString::fromUtf8(line));
        if (match.hasMatch())
            codes << match.captured(1);
    }
    return codes;
}

// Whether the file now holds exactly data.
inline bool WriteFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The report template the program ships (its resource).
inline QByteArray StandardTemplate()
{
    return ReadFile(QStringLiteral(":/template.rtf"));
}

// What a program (a name on the PATH or a path) writes to its standard
// output; nothing when it cannot be run, takes over a minute or fails.
inline QString ProgramOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(program), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF file's text as pdftotext lays it out.
inline QString PdfText(const QString &pdf)
{
    return ProgramOutput(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
}

// A PDF file's printed lines, trimmed, with runs of blanks made one.
inline QStringList PdfLines(const QString &pdf)
{
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    QStringList lines;
    for (QString line : PdfText(pdf).split(u'\n')) {
        line = line.replace(blanks, QStringLiteral(" ")).trimmed();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace kavro::test
