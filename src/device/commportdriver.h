#pragma once

#include "device/portdevicemap.h"

#include <QElapsedTimer>
#include <QFlags>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace kavro {

// The driver's warnings: a device that went away, a port that would not open.
Q_DECLARE_LOGGING_CATEGORY(lcDevice)

class TCommPortDriver;

// Handlers for received bytes. The data pointer leads into the driver's
// receive buffer and is valid only during the call; the size is at least 1.
using TReceiveDataEvent
    = std::function<void(TCommPortDriver *Sender, const quint8 *DataPtr, quint32 DataSize)>;
using TReceivePacketEvent
    = std::function<void(TCommPortDriver *Sender, const quint8 *Packet, quint32 DataSize)>;
// Sees every byte read from the device, handed on or not (line captures).
using TReadTap = std::function<void(const quint8 *Data, quint32 DataSize)>;

// The receive buffers, one per level of nested delivery: a handler that runs
// a nested event loop (a modal message box) lets further ticks deliver bytes,
// and those must not overwrite the bytes the outer handler is still reading.
// The buffers are allocated once and again only when their size changes.
class ReceiveBufferStack
{
public:
    explicit ReceiveBufferStack(quint32 size);

    // Buffers in use keep their size until their next use.
    void SetSize(quint32 size);

    // The buffer of the delivery that begins now.
    std::span<quint8> Acquire();
    void Release();

private:
    std::deque<std::vector<quint8>> m_buffers; // a deque keeps elements in place
    std::size_t m_inUse = 0;
    quint32 m_size;
};

// What a driver has done since it was created, for tests that check it does
// not spin on a device that has gone and keeps its input queue bounded.
struct TPortActivity
{
    quint64 PollTicks = 0; // polling ticks while connected
    quint64 PortSignals = 0; // the port object reported bytes or an error
    qint64 MostQueuedInput = 0; // the most received bytes held unread at once
};

// One serial port: opens and configures it, polls it with a timer on the
// thread that owns it, hands each batch of received bytes (or each packet) to
// a handler and writes with a time-out. No operation throws; failures are
// returned as false, short counts or an empty set, and their reason is kept
// as LastError.
//
// Received bytes wait in a queue of InBufSize bytes; beyond it they stay with
// the system, which holds back or drops what a fast device sends on top. A
// device that goes away while open (an error from the port, end of file) is
// closed at once.
class TCommPortDriver : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TPortNumber Port READ Port WRITE SetPort)
    Q_PROPERTY(QString PortName READ PortName WRITE SetPortName)
    Q_PROPERTY(TBaudRate BaudRate READ BaudRate WRITE SetBaudRate)
    Q_PROPERTY(quint32 BaudRateValue READ BaudRateValue WRITE SetBaudRateValue)
    Q_PROPERTY(TDataBits DataBits READ DataBits WRITE SetDataBits)
    Q_PROPERTY(TStopBits StopBits READ StopBits WRITE SetStopBits)
    Q_PROPERTY(TParity Parity READ Parity WRITE SetParity)
    Q_PROPERTY(THwFlowControl HwFlow READ HwFlow WRITE SetHwFlow)
    Q_PROPERTY(TSwFlowControl SwFlow READ SwFlow WRITE SetSwFlow)
    Q_PROPERTY(quint32 InBufSize READ InBufSize WRITE SetInBufSize)
    Q_PROPERTY(quint32 OutBufSize READ OutBufSize WRITE SetOutBufSize)
    Q_PROPERTY(qint16 PacketSize READ PacketSize WRITE SetPacketSize)
    Q_PROPERTY(qint32 PacketTimeout READ PacketTimeout WRITE SetPacketTimeout)
    Q_PROPERTY(TPacketMode PacketMode READ PacketMode WRITE SetPacketMode)
    Q_PROPERTY(quint16 PollingDelay READ PollingDelay WRITE SetPollingDelay)
    Q_PROPERTY(bool EnableDTROnOpen READ EnableDTROnOpen WRITE SetEnableDTROnOpen)
    Q_PROPERTY(quint16 OutputTimeout READ OutputTimeout WRITE SetOutputTimeout)
    Q_PROPERTY(quint32 InputTimeout READ InputTimeout WRITE SetInputTimeout)
    Q_PROPERTY(bool CheckLineStatus READ CheckLineStatus WRITE SetCheckLineStatus)

public:
    // The ordinals are part of the stored settings and of the calculations.
    // A fixed underlying type lets the setters refuse values outside the lists.
    enum TPortNumber : int {
        pnCustom,
        pnCOM1,
        pnCOM2,
        pnCOM3,
        pnCOM4,
        pnCOM5,
        pnCOM6,
        pnCOM7,
        pnCOM8,
        pnCOM9,
        pnCOM10,
        pnCOM11,
        pnCOM12,
        pnCOM13,
        pnCOM14,
        pnCOM15,
        pnCOM16,
    };
    Q_ENUM(TPortNumber)
    enum TBaudRate : int {
        brCustom,
        br110,
        br300,
        br600,
        br1200,
        br2400,
        br4800,
        br9600,
        br14400,
        br19200,
        br38400,
        br56000,
        br57600,
        br115200,
        br128000,
        br256000,
    };
    Q_ENUM(TBaudRate)
    enum TDataBits : int { db5BITS, db6BITS, db7BITS, db8BITS }; // character size = ordinal + 5
    Q_ENUM(TDataBits)
    enum TStopBits : int { sb1BITS, sb1HALFBITS, sb2BITS };
    Q_ENUM(TStopBits)
    enum TParity : int { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
    Q_ENUM(TParity)
    enum THwFlowControl : int { hfNONE, hfNONERTSON, hfRTSCTS };
    Q_ENUM(THwFlowControl)
    enum TSwFlowControl : int { sfNONE, sfXONXOFF };
    Q_ENUM(TSwFlowControl)
    enum TPacketMode : int { pmDiscard, pmPass };
    Q_ENUM(TPacketMode)
    enum TLineStatusItem { lsCTS = 0x1, lsDSR = 0x2, lsRING = 0x4, lsRLSD = 0x8 };
    Q_DECLARE_FLAGS(TLineStatus, TLineStatusItem)

    static constexpr quint32 MinBufSize = 128;
    static constexpr quint32 MaxBufSize = 8192;
    static constexpr quint16 MinPollingDelay = 5;

    // The speed in bit/s of a speed code; 0 for brCustom.
    static quint32 BaudRateSpeed(TBaudRate rate);

    explicit TCommPortDriver(QObject *parent = nullptr);
    ~TCommPortDriver() override;

    // Opens PortName (outside Windows through DeviceMap()), applies the line
    // settings and starts polling; true at once if already open.
    bool Connect();
    void Disconnect();
    bool IsConnected() const;
    // Why the port last failed to open or to take its settings, or why it was
    // closed when its device had gone, in the system's words; empty after a
    // successful Connect.
    QString LastError() const { return m_lastError; }
    const TPortActivity &Activity() const { return m_activity; }
    // Writes the line settings to the open port and purges both directions.
    // A device without modem lines still succeeds.
    bool ApplySettings();
    bool PurgeBuffers(bool input, bool output);
    // OutBufSize minus the bytes the system has not yet sent; 65535 when closed.
    quint16 OutputFreeSpace();
    // Active modem input lines; empty when closed or when the device has none.
    TLineStatus LineStatus();
    // Counts the bytes the system accepted. Gives up after `timeout` ms
    // without progress; bytes not accepted by then are dropped, never sent later.
    quint32 SendDataTimed(const quint8 *data, quint32 count, quint32 timeout);
    quint32 SendData(const quint8 *data, quint32 count); // with OutputTimeout
    bool SendByte(quint8 value);

    TPortNumber Port() const { return m_port; }
    void SetPort(TPortNumber value);
    QString PortName() const { return m_portName; }
    void SetPortName(const QString &value);
    TBaudRate BaudRate() const { return m_baudRate; }
    void SetBaudRate(TBaudRate value);
    quint32 BaudRateValue() const { return m_baudRateValue; }
    void SetBaudRateValue(quint32 value);
    TDataBits DataBits() const { return m_dataBits; }
    void SetDataBits(TDataBits value);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits value);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity value);
    THwFlowControl HwFlow() const { return m_hwFlow; }
    void SetHwFlow(THwFlowControl value);
    TSwFlowControl SwFlow() const { return m_swFlow; }
    void SetSwFlow(TSwFlowControl value);
    quint32 InBufSize() const { return m_inBufSize; }
    void SetInBufSize(quint32 value);
    quint32 OutBufSize() const { return m_outBufSize; }
    void SetOutBufSize(quint32 value);
    qint16 PacketSize() const { return m_packetSize; }
    void SetPacketSize(qint16 value);
    qint32 PacketTimeout() const { return m_packetTimeout; }
    void SetPacketTimeout(qint32 value);
    TPacketMode PacketMode() const { return m_packetMode; }
    void SetPacketMode(TPacketMode value);
    quint16 PollingDelay() const { return m_pollingDelay; }
    void SetPollingDelay(quint16 value);
    bool EnableDTROnOpen() const { return m_enableDTROnOpen; }
    void SetEnableDTROnOpen(bool value) { m_enableDTROnOpen = value; }
    quint16 OutputTimeout() const { return m_outputTimeout; }
    void SetOutputTimeout(quint16 value) { m_outputTimeout = value; }
    quint32 InputTimeout() const { return m_inputTimeout; } // kept, never used
    void SetInputTimeout(quint32 value) { m_inputTimeout = value; }
    bool CheckLineStatus() const { return m_checkLineStatus; }
    void SetCheckLineStatus(bool value) { m_checkLineStatus = value; }

    // May be assigned or cleared at any time, also by the handler itself.
    void SetOnReceiveData(TReceiveDataEvent handler);
    bool HasOnReceiveData() const { return m_onReceiveData != nullptr; }
    void SetOnReceivePacket(TReceivePacketEvent handler);
    bool HasOnReceivePacket() const { return m_onReceivePacket != nullptr; }
    // Called with each run of bytes read, before any handler gets them (and
    // also when none is set and they are dropped). It must not run an event loop.
    void SetReadTap(TReadTap tap) { m_readTap = std::move(tap); }

    // Where "\\.\COMn" names lead outside Windows; used by the next Connect.
    const kavro::PortDeviceMap &DeviceMap() const { return m_deviceMap; }
    void SetDeviceMap(const kavro::PortDeviceMap &map) { m_deviceMap = map; }

private:
    bool RefuseConnect(const QString &reason);
    QString PortLabel() const;
    void PortError(QSerialPort::SerialPortError error);
    QString GoneReason(QSerialPort::SerialPortError error) const;
    void CloseGoneDevice(const QString &reason);
    void NoteQueuedInput();
    void PollTick();
    void ReceiveBatch();
    void ReceivePackets();
    void DeliverData(const quint8 *data, quint32 size);
    void DeliverPacket(const quint8 *data, quint32 size);
    quint32 ReadInto(quint8 *buffer, qint64 count);
    qint64 PacketTransmitTime(quint32 packetSize) const;
    qint64 BytesQueuedForOutput() const;
    qint64 WriteSome(const quint8 *data, quint32 count); // −1: the device failed

    void WaitForOutputRoom(bool queueFull);
    void ApplyPacketSizeRule(qint16 value);
    void ApplyPacketTimeoutRule(qint32 value);
    void ApplyInBufSize(quint32 value);
    void ApplyIfConnected();
    bool SetModemLine(bool (QSerialPort::*setter)(bool), bool raised);
    bool FailSettings(const QString &reason);
    void TakeArrivedInput();

    // The handlers are held by shared pointers so that a handler that clears
    // or replaces itself during its call does not destroy what is running.
    using DataHandler = std::shared_ptr<const TReceiveDataEvent>;
    using PacketHandler = std::shared_ptr<const TReceivePacketEvent>;

    TPortNumber m_port = pnCOM2;
    QString m_portName;
    TBaudRate m_baudRate = br9600;
    quint32 m_baudRateValue = 9600;
    TDataBits m_dataBits = db8BITS;
    TStopBits m_stopBits = sb1BITS;
    TParity m_parity = ptNONE;
    THwFlowControl m_hwFlow = hfNONERTSON;
    TSwFlowControl m_swFlow = sfNONE;
    quint32 m_inBufSize = 2048;
    quint32 m_outBufSize = 2048;
    qint16 m_packetSize = -1;
    qint32 m_packetTimeout = -1;
    TPacketMode m_packetMode = pmDiscard;
    quint16 m_pollingDelay = 50;
    bool m_enableDTROnOpen = true;
    quint16 m_outputTimeout = 500;
    quint32 m_inputTimeout = 200;
    bool m_checkLineStatus = false;
    DataHandler m_onReceiveData;
    PacketHandler m_onReceivePacket;
    TReadTap m_readTap;

    kavro::PortDeviceMap m_deviceMap;
    QSerialPort m_serial;
    // The port object's own read notification (Unix): kept off, so that the
    // program is woken by the polling tick only, not by every few bytes.
    QPointer<QSocketNotifier> m_portReadNotifier;
    QTimer m_pollTimer;
    ReceiveBufferStack m_receiveBuffers { m_inBufSize };
    QElapsedTimer m_clock; // the millisecond tick
    qint64 m_packetStart = -1; // when the first byte of the pending packet was seen
    QString m_lastError;
    TPortActivity m_activity;
    quint64 m_openings = 0; // tells a port opened again from the one that failed
    quint64 m_goneCloseQueuedFor = 0; // the opening whose close is already on its way
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCommPortDriver::TLineStatus)

// The enumerations under their short names (pnCOM1, br9600, pmDiscard, …).
using TPortNumber = TCommPortDriver::TPortNumber;
using TBaudRate = TCommPortDriver::TBaudRate;
using TDataBits = TCommPortDriver::TDataBits;
using TStopBits = TCommPortDriver::TStopBits;
using TParity = TCommPortDriver::TParity;
using THwFlowControl = TCommPortDriver::THwFlowControl;
using TSwFlowControl = TCommPortDriver::TSwFlowControl;
using TPacketMode = TCommPortDriver::TPacketMode;
using TLineStatus = TCommPortDriver::TLineStatus;
using enum TCommPortDriver::TPortNumber;
using enum TCommPortDriver::TBaudRate;
using enum TCommPortDriver::TDataBits;
using enum TCommPortDriver::TStopBits;
using enum TCommPortDriver::TParity;
using enum TCommPortDriver::THwFlowControl;
using enum TCommPortDriver::TSwFlowControl;
using enum TCommPortDriver::TPacketMode;
using enum TCommPortDriver::TLineStatusItem;

} // namespace kavro
