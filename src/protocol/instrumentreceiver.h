#pragma once

#include "protocol/instrumentcodes.h"
#include "protocol/receiverdata.h"
#include "protocol/receiverhost.h"

#include <QLatin1String>
#include <QtGlobal>

namespace kavro {

// The enumeration value's name, "rsDetecting" ... "rsHalted".
QLatin1String ReceiverStateName(TReceiverState state);

// Optional listener for the receiver's own changes, in the order the
// receiver makes them (the decoder tool and the tests trace them).
class ReceiverObserver
{
public:
    virtual ~ReceiverObserver() = default;
    virtual void ReceiverStateChanged(TReceiverState state) = 0;
    virtual void ZeroCaptureChanged(bool capture) = 0;
    virtual void CalibrationBlockCompleted() = 0;
    virtual void DiagnosticModeReported(int code) = 0;
};

// The instrument receiver: a state machine fed one received byte at a time.
// It keeps its data in the program-wide ReceiverData and reaches the rest of
// the program only through ReceiverHost.
//
// Host calls may run nested message loops that deliver further bytes
// (SetPumpState's guard message). Every step therefore finishes its own
// data changes before it calls the host, so a nested ReceiveByte always
// finds the data consistent.
class TInstrumentReceiver
{
public:
    TInstrumentReceiver(ReceiverData &data, ReceiverHost &host);

    void ReceiveByte(quint8 b);

    // The port set-up starts every connection with detection.
    void ResetForPortSetup();

    void SetObserver(ReceiverObserver *observer) { m_observer = observer; }

    bool ServiceWindowOpen() const { return m_serviceWindowOpen; }
    bool NoticeWindowOpen() const { return m_noticeWindowOpen; }

private:
    // rsDetecting
    void DetectingByte(quint8 b);
    void StoreAtImagePos(quint8 b);
    void DetectStreamStart(int n);
    bool ReadingPatternInPass() const;
    bool CountdownWordsAt(int first) const;
    void EnterCountdown();

    // rsZeroPrefix
    void ZeroPrefixByte(quint8 b);

    // rsCountdown
    void CountdownByte(quint8 b);
    void MakeWayForServiceWindow();
    void CompleteCountdownWord(quint8 high);
    bool PumpWindowContains(int countdown) const;
    void FinishCountdown(bool pumpInWindow);

    // rsCalibrationBlock
    void CalibrationBlockByte(quint8 b);
    int BlockEnd() const;
    void CompleteCalibrationBlock();

    // rsStreaming
    void StreamingByte(quint8 b);
    void DataByte(quint8 b);
    void OperatingMode(quint8 code);
    void DiagnosticMode(quint8 code);
    void ShowMaintenanceNotice();
    void EndMaintenanceNotice();
    void BeginZeroSetting();

    // Data changes the observer hears about.
    void SetState(TReceiverState state);
    void SetZeroCapture(bool capture);
    void AnnounceState(TReceiverState from, TReceiverState to);
    void AnnounceZeroCapture(bool from, bool to);

    void OpenServiceWindow();
    void CloseServiceWindow();

    ReceiverData &d;
    ReceiverHost &m_host;
    ReceiverObserver *m_observer = nullptr;
    bool m_serviceWindowOpen = false;
    bool m_noticeWindowOpen = false;
    bool m_programEnding = false; // a diagnostic mode was reported
};

} // namespace kavro
