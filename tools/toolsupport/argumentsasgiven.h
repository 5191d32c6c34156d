#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace kavro::tools {

// Command-line arguments as the shell gave them. QCoreApplication decodes
// them as UTF-8 and turns every byte that is not UTF-8 into U+FFFD, after
// which a file of that name can no longer be found. Here each such byte b is
// kept as the lone surrogate U+DC00 + b, so that LocalName() gives back the
// exact bytes. (Windows passes arguments as UTF-16 and needs none of this.)
QStringList ArgumentsAsGiven(int argc, char *argv[]);

// The bytes the system knows the file by.
QByteArray LocalName(const QString &argument);
// The argument for messages: U+FFFD for every kept byte.
QString ReadableName(const QString &argument);

// Opens the file of that name for reading; false with `error` saying why
// in the system's words. A folder is refused like an unreadable file.
bool OpenForReading(QFile &file, const QString &argument, QString &error);

} // namespace kavro::tools
