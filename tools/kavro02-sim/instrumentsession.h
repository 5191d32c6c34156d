#pragma once

#include "bytelink.h"
#include "bytepacer.h"
#include "calibrationblock.h"
#include "capturereplay.h"
#include "commandlog.h"
#include "enginemodel.h"
#include "protocolresponder.h"
#include "readingencoder.h"
#include "scenariooptions.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace kavro::sim {

// One run of the simulated instrument: the line (pseudo-terminal or file),
// the pacing, the protocol and the engine, wired as the options say.
class InstrumentSession : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentSession(const ScenarioOptions &options, QObject *parent = nullptr);

    // Plays this capture instead of the simulated instrument; before Open.
    void ReplayCapture(const Capture &capture);
    // Opens the line and the log; returns an error text, empty on success.
    QString Open();
    // The device path the program opens (empty for a file session).
    QString DevicePath() const;

    void ToggleIdleSpeed();
    void SetRaisedIdle(bool raised);
    // Ends the session; a note in the log says why.
    void Finish(const QString &reason);

Q_SIGNALS:
    void Finished();

private:
    void OnPeerConnectedChanged(bool connected);
    void OnBytesReceived(const QByteArray &bytes);
    void PlayScriptedCommands(double now);
    void NoteEndOfReplay(double now);
    ByteSource &Source();

    ScenarioOptions m_options;
    CalibrationBlock m_block;
    EngineModel m_engine;
    ReadingEncoder m_encoder;
    ProtocolResponder m_responder;
    std::unique_ptr<CaptureReplay> m_replay;
    bool m_replayEndNoted = false;
    CommandLog m_log;
    std::unique_ptr<ByteLink> m_link;
    std::unique_ptr<BytePacer> m_pacer;
    QTimer m_startDelay;
    qsizetype m_nextScripted = 0;
    bool m_finished = false;
};

} // namespace kavro::sim
