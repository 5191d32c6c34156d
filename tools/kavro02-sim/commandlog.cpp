#include "commandlog.h"

#include "instrumentcodes.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace kavro::sim {

QString CommandLog::Open(const QString &path)
{
    if (path.isEmpty()) {
        if (!m_file.open(stderr, QIODevice::WriteOnly))
            return u"cannot write to standard error"_s;
        return {};
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return u"cannot write "_s + path + u": "_s + m_file.errorString();
    return {};
}

QString CommandLog::Meaning(std::uint8_t command)
{
    switch (command) {
    case code::ZeroSetting:
        return u"start automatic zero setting"_s;
    case code::CalibrationBlock:
        return u"send calibration block"_s;
    case code::PumpSwitch:
        return u"switch pump over"_s;
    default:
        return u"unknown command"_s;
    }
}

void CommandLog::Received(std::uint8_t command, double now, bool scripted)
{
    WriteLine(QString::asprintf("%9.3f received %3u (0x%02X) ", now, command, command)
        + Meaning(command) + (scripted ? u" [script]"_s : QString()));
}

void CommandLog::Note(const QString &text, double now)
{
    WriteLine(QString::asprintf("%9.3f # ", now) + text);
}

void CommandLog::WriteLine(const QString &line)
{
    if (!m_file.isOpen())
        return;
    m_file.write((line + u'\n').toUtf8());
    m_file.flush();
}

} // namespace kavro::sim
