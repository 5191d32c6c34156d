#include "filelink.h"

using namespace Qt::StringLiterals;

namespace kavro::sim {

FileLink::FileLink(QObject *parent)
    : ByteLink(parent)
{ }

QString FileLink::Open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return u"cannot write "_s + path + u": "_s + m_file.errorString();
    return {};
}

qint64 FileLink::Write(const QByteArray &bytes)
{
    const qint64 written = m_file.write(bytes);
    m_file.flush();
    return written < 0 ? bytes.size() : written;
}

} // namespace kavro::sim
