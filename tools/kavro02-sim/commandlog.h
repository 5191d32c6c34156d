#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

namespace kavro::sim {

// One line per byte the program sends to the instrument (every command is
// one byte), with the session time and what the byte means.
class CommandLog
{
public:
    // Logs to the file, or to standard error when path is empty. Returns
    // an error text, empty on success.
    QString Open(const QString &path);
    void Received(std::uint8_t command, double now, bool scripted = false);
    // A free-form line about the session, marked with '#'.
    void Note(const QString &text, double now);

    static QString Meaning(std::uint8_t command);

private:
    void WriteLine(const QString &line);

    QFile m_file;
};

} // namespace kavro::sim
