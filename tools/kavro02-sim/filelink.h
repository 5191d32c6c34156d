#pragma once

#include "bytelink.h"

#include <QFile>

namespace kavro::sim {

// Writes the instrument's bytes into a file instead of a line, for a
// scripted session whose commands come from the command line.
class FileLink : public ByteLink
{
    Q_OBJECT
public:
    explicit FileLink(QObject *parent = nullptr);

    // Returns an error text, empty on success.
    QString Open(const QString &path);

    qint64 Write(const QByteArray &bytes) override;

private:
    QFile m_file;
};

} // namespace kavro::sim
