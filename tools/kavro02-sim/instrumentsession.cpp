#include "instrumentsession.h"

#include "filelink.h"
#include "programconversions.h"
#include "ptylink.h"

using namespace Qt::StringLiterals;

namespace kavro::sim {

InstrumentSession::InstrumentSession(const ScenarioOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_block(options.emptyBlock ? CalibrationBlock::Erased() : CalibrationBlock::Serviced())
    , m_engine(options.engine)
    , m_encoder(ProgramConversions(m_block.Image()))
    , m_responder(options.protocol, m_block, m_engine, m_encoder)
{
    m_startDelay.setSingleShot(true);
    connect(&m_startDelay, &QTimer::timeout, this, [this] { m_pacer->Start(); });
}

void InstrumentSession::ReplayCapture(const Capture &capture)
{
    m_replay = std::make_unique<CaptureReplay>(capture);
}

ByteSource &InstrumentSession::Source()
{
    if (m_replay)
        return *m_replay;
    return m_responder;
}

QString InstrumentSession::Open()
{
    if (QString error = m_log.Open(m_options.logPath); !error.isEmpty())
        return error;

    const bool toFile = !m_options.outputPath.isEmpty();
    if (toFile) {
        auto file = std::make_unique<FileLink>();
        if (QString error = file->Open(m_options.outputPath); !error.isEmpty())
            return error;
        m_link = std::move(file);
    } else {
        auto pty = std::make_unique<PtyLink>();
        if (QString error = pty->Open(m_options.linkPath); !error.isEmpty())
            return error;
        m_link = std::move(pty);
    }

    m_pacer = std::make_unique<BytePacer>(
        Source(), *m_link, m_options.fast ? BytePacer::Fast : BytePacer::Paced);
    m_pacer->SetDuration(m_options.duration);
    connect(m_pacer.get(), &BytePacer::Tick, this, &InstrumentSession::PlayScriptedCommands);
    connect(m_pacer.get(), &BytePacer::Tick, this, &InstrumentSession::NoteEndOfReplay);
    connect(m_pacer.get(), &BytePacer::DurationReached, this,
        [this] { Finish(u"session time is over"_s); });
    connect(m_link.get(), &ByteLink::BytesReceived, this, &InstrumentSession::OnBytesReceived);
    connect(m_link.get(), &ByteLink::PeerConnectedChanged, this,
        &InstrumentSession::OnPeerConnectedChanged);
    if (toFile)
        m_pacer->Start();
    return {};
}

QString InstrumentSession::DevicePath() const
{
    const auto *pty = qobject_cast<const PtyLink *>(m_link.get());
    return pty ? pty->DevicePath() : QString();
}

// Session time starts when the program first opens the device, so that
// scenario times count from the program's start.
void InstrumentSession::OnPeerConnectedChanged(bool connected)
{
    const double now = m_pacer->Now();
    m_log.Note(connected ? u"program opened the device"_s : u"program closed the device"_s, now);
    if (connected && !m_pacer->Started() && !m_startDelay.isActive())
        m_startDelay.start(static_cast<int>(m_options.startAfter * 1000));
    m_pacer->SetListening(connected);
}

void InstrumentSession::OnBytesReceived(const QByteArray &bytes)
{
    const double now = m_pacer->Now();
    for (char byte : bytes) {
        const auto command = static_cast<std::uint8_t>(byte);
        m_log.Received(command, now);
        Source().ReceiveCommand(command);
    }
}

// The pacer asks for more only when everything handed out has been sent.
void InstrumentSession::NoteEndOfReplay(double now)
{
    if (!m_replay || m_replayEndNoted || !m_replay->Finished())
        return;
    m_replayEndNoted = true;
    m_log.Note(u"end of the capture: %1 bytes replayed; the instrument falls silent"_s.arg(
                   m_replay->ByteCount()),
        now);
}

void InstrumentSession::PlayScriptedCommands(double now)
{
    while (m_nextScripted < m_options.commands.size()
        && m_options.commands.at(m_nextScripted).at <= now) {
        const std::uint8_t command = m_options.commands.at(m_nextScripted++).command;
        m_log.Received(command, now, true);
        m_responder.ReceiveCommand(command);
    }
}

void InstrumentSession::ToggleIdleSpeed()
{
    SetRaisedIdle(!m_engine.RaisedIdle());
}

void InstrumentSession::SetRaisedIdle(bool raised)
{
    m_engine.SetRaisedIdle(raised);
    m_log.Note(raised ? u"engine to increased idle"_s : u"engine to minimum idle"_s,
        m_pacer ? m_pacer->Now() : 0);
}

void InstrumentSession::Finish(const QString &reason)
{
    if (m_finished)
        return;
    m_finished = true;
    const double now = m_pacer ? m_pacer->Now() : 0;
    const qint64 sent = m_pacer ? m_pacer->BytesSent() : 0;
    m_log.Note(reason + QString::asprintf("; %lld bytes sent in %.3f s", sent, now), now);
    Q_EMIT Finished();
}

} // namespace kavro::sim
