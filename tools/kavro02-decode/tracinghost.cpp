#include "tracinghost.h"

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
QString Flag(bool on)
{
    return on ? u"1"_s : u"0"_s;
}
} // namespace

TracingHost::TracingHost(QTextStream &out, int shownPage)
    : m_out(out)
    , m_shownPage(shownPage)
{ }

// Nothing is printed after the diagnostic line: the program has ended.
void TracingHost::Print(const QString &line)
{
    if (!m_programEnded)
        m_out << line << '\n';
}

void TracingHost::SendByte(std::uint8_t code)
{
    Print(u"send "_s + QString::number(code));
}

void TracingHost::ChannelReading(int channel, int rawValue)
{
    Print(u"reading "_s + QString::number(channel) + u' ' + QString::number(rawValue));
    if (m_readingHook)
        m_readingHook(channel, rawValue);
}

void TracingHost::EnableMeasurementActions(bool enabled)
{
    Print(u"measure "_s + Flag(enabled));
}

void TracingHost::SetNewCarEnabled(bool enabled)
{
    Print(u"newcar "_s + Flag(enabled));
}

void TracingHost::SetPumpState(bool running)
{
    m_pumpRunning = running;
    Print(u"pump "_s + Flag(running));
}

void TracingHost::CloseSplash()
{
    m_splashExists = false;
    Print(u"splash close"_s);
}

void TracingHost::ShowServiceWindow()
{
    Print(u"service show"_s);
}

void TracingHost::CloseServiceWindow()
{
    Print(u"service close"_s);
}

void TracingHost::ShowNoticeWindow()
{
    Print(u"notice show"_s);
}

void TracingHost::CloseNoticeWindow()
{
    Print(u"notice close"_s);
}

void TracingHost::StartWatchdog()
{
    Print(u"watchdog start"_s);
}

void TracingHost::StopWatchdog()
{
    Print(u"watchdog stop"_s);
}

void TracingHost::ReceiverStateChanged(TReceiverState state)
{
    Print(u"state "_s + ReceiverStateName(state));
}

void TracingHost::ZeroCaptureChanged(bool capture)
{
    Print(u"capture "_s + Flag(capture));
}

void TracingHost::CalibrationBlockCompleted()
{
    Print(u"block"_s);
}

void TracingHost::DiagnosticModeReported(int)
{
    Print(u"diagnostic"_s);
    m_programEnded = true;
}

} // namespace kavro
