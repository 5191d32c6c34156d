#include "device/commportdriver.h"

#include <QMetaEnum>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace kavro {

Q_LOGGING_CATEGORY(lcDevice, "kavro.device")

namespace {

// How long one look at a full line may block; a send gives up only after
// OutputTimeout without progress.
constexpr int WriteSliceMs = 10;

template<typename Enum>
bool IsEnumerator(Enum value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(value) != nullptr;
}

// Holds one receive buffer for the duration of a delivery.
class BufferLease
{
public:
    explicit BufferLease(ReceiveBufferStack &stack)
        : m_stack(stack)
        , m_buffer(stack.Acquire())
    { }
    ~BufferLease() { m_stack.Release(); }
    BufferLease(const BufferLease &) = delete;
    BufferLease &operator=(const BufferLease &) = delete;

    quint8 *Data() const { return m_buffer.data(); }
    quint32 Size() const { return quint32(m_buffer.size()); }

private:
    ReceiveBufferStack &m_stack;
    std::span<quint8> m_buffer;
};

QSerialPort::StopBits ToSerialStopBits(TStopBits stopBits)
{
    switch (stopBits) {
    case sb1HALFBITS:
        return QSerialPort::OneAndHalfStop;
    case sb2BITS:
        return QSerialPort::TwoStop;
    case sb1BITS:
        break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::Parity ToSerialParity(TParity parity)
{
    switch (parity) {
    case ptODD:
        return QSerialPort::OddParity;
    case ptEVEN:
        return QSerialPort::EvenParity;
    case ptMARK:
        return QSerialPort::MarkParity;
    case ptSPACE:
        return QSerialPort::SpaceParity;
    case ptNONE:
        break;
    }
    return QSerialPort::NoParity;
}

// POSIX terminals know no 1.5 stop bits; the port object would quietly use 1.
bool StopBitsSupported(TStopBits stopBits)
{
#ifdef Q_OS_WIN
    Q_UNUSED(stopBits);
    return true;
#else
    return stopBits != sb1HALFBITS;
#endif
}

// The serial port knows one kind of flow control at a time; RTS/CTS wins.
QSerialPort::FlowControl ToSerialFlowControl(THwFlowControl hwFlow, TSwFlowControl swFlow)
{
    if (hwFlow == hfRTSCTS)
        return QSerialPort::HardwareControl;
    if (swFlow == sfXONXOFF)
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

} // namespace

ReceiveBufferStack::ReceiveBufferStack(quint32 size)
    : m_size(size)
{
    m_buffers.emplace_back(size);
}

void ReceiveBufferStack::SetSize(quint32 size)
{
    m_size = size;
    for (std::size_t i = m_inUse; i < m_buffers.size(); ++i)
        m_buffers[i] = std::vector<quint8>(size);
}

std::span<quint8> ReceiveBufferStack::Acquire()
{
    if (m_inUse == m_buffers.size())
        m_buffers.emplace_back(m_size);
    std::vector<quint8> &buffer = m_buffers[m_inUse++];
    if (buffer.size() != m_size)
        buffer = std::vector<quint8>(m_size);
    return buffer;
}

void ReceiveBufferStack::Release()
{
    --m_inUse;
}

quint32 TCommPortDriver::BaudRateSpeed(TBaudRate rate)
{
    static constexpr quint32 Speeds[] = { 0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200,
        38400, 56000, 57600, 115200, 128000, 256000 };
    return IsEnumerator(rate) ? Speeds[rate] : 0;
}

TCommPortDriver::TCommPortDriver(QObject *parent)
    : QObject(parent)
    , m_portName(uR"(\\.\COM2)"_s)
{
    m_clock.start();
    // A timer does not fire again while its own slot runs, so each tick
    // starts the next one: ticks go on in a handler's nested event loop.
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &TCommPortDriver::PollTick);
    connect(&m_serial, &QSerialPort::readyRead, this, &TCommPortDriver::NoteQueuedInput);
    connect(&m_serial, &QSerialPort::errorOccurred, this, &TCommPortDriver::PortError);
}

TCommPortDriver::~TCommPortDriver()
{
    Disconnect();
}

bool TCommPortDriver::Connect()
{
    if (IsConnected())
        return true;
    const QString device = m_deviceMap.DeviceForPortName(m_portName);
    // The port object would look for an empty name in the device folder.
    if (device.isEmpty())
        return RefuseConnect(qt_error_string(ENOENT));
    m_serial.setPortName(device);
    // Beyond this the port object stops reading and the bytes stay with the system.
    m_serial.setReadBufferSize(m_inBufSize);
    if (!m_serial.open(QIODevice::ReadWrite))
        return RefuseConnect(m_serial.errorString());
    ++m_openings;
    m_portReadNotifier.clear();
    for (QSocketNotifier *notifier : m_serial.findChildren<QSocketNotifier *>())
        if (notifier->type() == QSocketNotifier::Read && notifier->socket() == m_serial.handle())
            m_portReadNotifier = notifier;
    if (m_portReadNotifier)
        m_portReadNotifier->setEnabled(false); // the first tick takes what arrives meanwhile
    if (!ApplySettings()) {
        m_serial.close();
        return RefuseConnect(m_lastError);
    }
    m_lastError.clear();
    m_pollTimer.start(m_pollingDelay);
    return true;
}

bool TCommPortDriver::RefuseConnect(const QString &reason)
{
    m_serial.clearError();
    m_lastError = reason;
    qCWarning(
        lcDevice, "%s cannot be opened: %s", qUtf8Printable(PortLabel()), qUtf8Printable(reason));
    return false;
}

void TCommPortDriver::Disconnect()
{
    if (!IsConnected())
        return;
    m_pollTimer.stop();
    m_serial.close();
    m_serial.clearError();
}

bool TCommPortDriver::IsConnected() const
{
    return m_serial.isOpen();
}

// The port name, and the device it leads to where that differs.
QString TCommPortDriver::PortLabel() const
{
    const QString device = m_deviceMap.DeviceForPortName(m_portName);
    return device == m_portName ? m_portName : u"%1 (%2)"_s.arg(m_portName, device);
}

// Each time the port object has taken bytes from the system.
void TCommPortDriver::NoteQueuedInput()
{
    ++m_activity.PortSignals;
    m_activity.MostQueuedInput = std::max(m_activity.MostQueuedInput, m_serial.bytesAvailable());
}

// A device that has gone would otherwise wake the port object without end:
// each wake-up reads end of file and reports it as an error.
void TCommPortDriver::PortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError) // clearing an error reports that, too
        return;
    ++m_activity.PortSignals;
    if (!IsConnected() || m_goneCloseQueuedFor == m_openings)
        return;
    const QString reason = GoneReason(error);
    if (reason.isEmpty())
        return;
    // The port object may be inside its own notification: close right after it.
    m_goneCloseQueuedFor = m_openings;
    QMetaObject::invokeMethod(
        this,
        [this, reason, opening = m_openings] {
            if (IsConnected() && opening == m_openings)
                CloseGoneDevice(reason);
        },
        Qt::QueuedConnection);
}

#ifdef Q_OS_UNIX

// A device that has gone (a USB adapter unplugged, the far side of a
// pseudo-terminal closed) is hung up: reads give end of file, poll reports
// POLLHUP and every request fails, most with EIO. The failing request gives
// the system's words for it.
QString TCommPortDriver::GoneReason(QSerialPort::SerialPortError error) const
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return {};
    int queued = 0;
    if (::ioctl(m_serial.handle(), FIONREAD, &queued) == -1)
        return qt_error_string(errno);
    pollfd device { m_serial.handle(), POLLIN, 0 };
    if (::poll(&device, 1, 0) > 0 && (device.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        return u"the device hung up"_s;
    return {};
}

#else

// Elsewhere the port object reports a device that has gone as a resource error.
QString TCommPortDriver::GoneReason(QSerialPort::SerialPortError error) const
{
    return error == QSerialPort::ResourceError ? m_serial.errorString() : QString();
}

#endif

void TCommPortDriver::CloseGoneDevice(const QString &reason)
{
    m_lastError = reason;
    qCWarning(lcDevice, "%s closed, its device has gone: %s", qUtf8Printable(PortLabel()),
        qUtf8Printable(reason));
    Disconnect();
}

bool TCommPortDriver::ApplySettings()
{
    if (!IsConnected())
        return false;
    if (!StopBitsSupported(m_stopBits))
        return FailSettings(u"1.5 stop bits are not supported here"_s);
    if (m_baudRateValue == 0 || m_baudRateValue > quint32(INT_MAX))
        return FailSettings(u"speed %1 bit/s is not supported"_s.arg(m_baudRateValue));
    m_serial.clearError();
    const bool lineSet = m_serial.setBaudRate(qint32(m_baudRateValue))
        && m_serial.setDataBits(QSerialPort::DataBits(int(QSerialPort::Data5) + int(m_dataBits)))
        && m_serial.setParity(ToSerialParity(m_parity))
        && m_serial.setStopBits(ToSerialStopBits(m_stopBits))
        && m_serial.setFlowControl(ToSerialFlowControl(m_hwFlow, m_swFlow));
    if (!lineSet)
        return FailSettings(m_serial.errorString());
    if (!SetModemLine(&QSerialPort::setDataTerminalReady, m_enableDTROnOpen))
        return false;
    // With RTS/CTS handshake the port drives RTS itself.
    if (m_hwFlow != hfRTSCTS
        && !SetModemLine(&QSerialPort::setRequestToSend, m_hwFlow == hfNONERTSON))
        return false;
    return PurgeBuffers(true, true);
}

bool TCommPortDriver::FailSettings(const QString &reason)
{
    m_serial.clearError();
    m_lastError = reason;
    return false;
}

// A device without modem lines (a pseudo-terminal, many USB adapters) cannot
// set them; that is no reason to refuse the port.
bool TCommPortDriver::SetModemLine(bool (QSerialPort::*setter)(bool), bool raised)
{
    m_serial.clearError();
    const bool set = (m_serial.*setter)(raised);
    if (set || m_serial.error() == QSerialPort::UnsupportedOperationError) {
        m_serial.clearError();
        return true;
    }
    return FailSettings(m_serial.errorString());
}

bool TCommPortDriver::PurgeBuffers(bool input, bool output)
{
    if (!IsConnected())
        return false;
    QSerialPort::Directions directions;
    if (input)
        directions |= QSerialPort::Input;
    if (output)
        directions |= QSerialPort::Output;
    if (directions && !m_serial.clear(directions))
        return FailSettings(m_serial.errorString());
    m_packetStart = -1;
    return true;
}

quint16 TCommPortDriver::OutputFreeSpace()
{
    if (!IsConnected())
        return 65535;
    const qint64 queued = BytesQueuedForOutput();
    return queued >= qint64(m_outBufSize) ? 0 : quint16(m_outBufSize - queued);
}

// The transmit queue: what the operating system (and, where the port object
// writes, that object) holds but has not yet put on the line.
qint64 TCommPortDriver::BytesQueuedForOutput() const
{
    qint64 queued = m_serial.bytesToWrite();
#ifdef Q_OS_UNIX
    int systemQueued = 0;
    if (::ioctl(m_serial.handle(), TIOCOUTQ, &systemQueued) == 0 && systemQueued > 0)
        queued += systemQueued;
#endif
    return queued;
}

TLineStatus TCommPortDriver::LineStatus()
{
    if (!IsConnected())
        return {};
    m_serial.clearError();
    const QSerialPort::PinoutSignals pins = m_serial.pinoutSignals();
    const bool failed = m_serial.error() != QSerialPort::NoError;
    m_serial.clearError();
    if (failed)
        return {};
    TLineStatus status;
    status.setFlag(lsCTS, pins.testFlag(QSerialPort::ClearToSendSignal));
    status.setFlag(lsDSR, pins.testFlag(QSerialPort::DataSetReadySignal));
    status.setFlag(lsRING, pins.testFlag(QSerialPort::RingIndicatorSignal));
    status.setFlag(lsRLSD, pins.testFlag(QSerialPort::DataCarrierDetectSignal));
    return status;
}

quint32 TCommPortDriver::SendDataTimed(const quint8 *data, quint32 count, quint32 timeout)
{
    if (!IsConnected() || data == nullptr)
        return 0;
    quint32 written = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    while (written < count) {
        const quint32 freeSpace = OutputFreeSpace();
        if (freeSpace > 0) {
            if (m_checkLineStatus && !LineStatus())
                break;
            const qint64 accepted = WriteSome(data + written, std::min(count - written, freeSpace));
            if (accepted < 0)
                break; // the device is gone; waiting would not help
            if (accepted > 0) {
                written += quint32(accepted);
                sinceProgress.restart();
                continue;
            }
        }
        if (sinceProgress.elapsed() > qint64(timeout))
            break;
        WaitForOutputRoom(freeSpace == 0);
    }
    m_serial.clearError();
    return written;
}

#ifdef Q_OS_UNIX

// The port object would keep whatever the system does not take at once and
// send it later, and taking it back (tcflush) would also throw away bytes a
// pseudo-terminal has already passed on. So the bytes go to the device
// directly: what the system accepts is written, nothing else is kept.
qint64 TCommPortDriver::WriteSome(const quint8 *data, quint32 count)
{
    const ssize_t accepted = ::write(m_serial.handle(), data, count);
    if (accepted >= 0)
        return accepted;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    CloseGoneDevice(qt_error_string(errno));
    return -1;
}

void TCommPortDriver::WaitForOutputRoom(bool queueFull)
{
    if (queueFull) {
        QThread::msleep(1); // it drains by itself; the device would report room anyway
        return;
    }
    pollfd device { m_serial.handle(), POLLOUT, 0 };
    ::poll(&device, 1, WriteSliceMs);
}

#else

// Elsewhere the port object writes; what it has not passed on within the
// slice is taken back, so it is neither counted nor sent later.
qint64 TCommPortDriver::WriteSome(const quint8 *data, quint32 count)
{
    const qint64 handed = m_serial.write(reinterpret_cast<const char *>(data), count);
    if (handed <= 0)
        return handed;
    m_serial.waitForBytesWritten(WriteSliceMs);
    const qint64 left = m_serial.bytesToWrite();
    if (left > 0)
        m_serial.clear(QSerialPort::Output);
    m_serial.clearError();
    return handed - left;
}

void TCommPortDriver::WaitForOutputRoom(bool)
{
    QThread::msleep(1);
}

#endif

quint32 TCommPortDriver::SendData(const quint8 *data, quint32 count)
{
    return SendDataTimed(data, count, m_outputTimeout);
}

bool TCommPortDriver::SendByte(quint8 value)
{
    return SendData(&value, 1) == 1;
}

void TCommPortDriver::SetOnReceiveData(TReceiveDataEvent handler)
{
    m_onReceiveData
        = handler ? std::make_shared<const TReceiveDataEvent>(std::move(handler)) : nullptr;
}

void TCommPortDriver::SetOnReceivePacket(TReceivePacketEvent handler)
{
    m_onReceivePacket
        = handler ? std::make_shared<const TReceivePacketEvent>(std::move(handler)) : nullptr;
}

void TCommPortDriver::PollTick()
{
    if (!IsConnected())
        return;
    ++m_activity.PollTicks;
    m_pollTimer.start(m_pollingDelay);
    // Receive errors are cleared (a device that has gone is closed); clearing
    // only when there is one spares a signal on every tick.
    if (m_serial.error() != QSerialPort::NoError)
        m_serial.clearError();
    TakeArrivedInput();
    if (!IsConnected())
        return;
    if (m_packetSize <= 0)
        ReceiveBatch();
    else
        ReceivePackets();
}

void TCommPortDriver::ReceiveBatch()
{
    if (m_serial.bytesAvailable() <= 0)
        return;
    BufferLease buffer(m_receiveBuffers);
    const quint32 count
        = ReadInto(buffer.Data(), std::min<qint64>(m_serial.bytesAvailable(), buffer.Size()));
    if (count > 0)
        DeliverData(buffer.Data(), count);
}

// The waiting count is asked afresh for every packet: a handler that runs a
// nested event loop lets nested ticks take packets from the same queue.
void TCommPortDriver::ReceivePackets()
{
    const auto size = quint32(m_packetSize);
    const qint64 now = m_clock.elapsed();
    if (m_serial.bytesAvailable() >= size) {
        BufferLease buffer(m_receiveBuffers);
        const qint64 transmitTime = PacketTransmitTime(size);
        while (IsConnected() && m_serial.bytesAvailable() >= size) {
            const quint32 count = ReadInto(buffer.Data(), size);
            if (count > 0)
                DeliverPacket(buffer.Data(), count);
            if (m_packetStart >= 0)
                m_packetStart += transmitTime;
            if (m_serial.bytesAvailable() == 0)
                m_packetStart = -1;
        }
        // Bytes left over begin a packet now. Counting on from "none" would
        // put its start far in the past and time it out at the next tick.
        if (IsConnected() && m_packetStart < 0 && m_serial.bytesAvailable() > 0)
            m_packetStart = now;
        return;
    }
    if (m_packetTimeout > 0 && m_packetStart >= 0 && now - m_packetStart > m_packetTimeout) {
        BufferLease buffer(m_receiveBuffers);
        const quint32 count
            = ReadInto(buffer.Data(), std::min<qint64>(m_serial.bytesAvailable(), buffer.Size()));
        m_packetStart = -1;
        if (count > 0 && m_packetMode == pmPass)
            DeliverPacket(buffer.Data(), count);
        return;
    }
    if (m_packetStart < 0 && m_serial.bytesAvailable() > 0)
        m_packetStart = now;
}

// The port object takes bytes from the system as they arrive, which at the
// line rate wakes the program about 250 times a second for a few bytes each.
// Where its read notification can be found (Unix), it stays off and each
// polling tick takes all that has arrived at once, as the port's input queue
// is emptied by a polling driver: the program wakes 20 times a second. A
// device that has gone shows at the next tick, as end of file or an error.
void TCommPortDriver::TakeArrivedInput()
{
    if (!m_portReadNotifier)
        return;
    m_portReadNotifier->setEnabled(false);
    if (m_serial.bytesAvailable() >= qint64(m_inBufSize))
        return; // the rest waits with the system
#ifdef Q_OS_UNIX
    pollfd device { m_serial.handle(), POLLIN, 0 };
    if (::poll(&device, 1, 0) <= 0)
        return; // nothing has arrived
#endif
    m_serial.waitForReadyRead(0);
    if (m_portReadNotifier)
        m_portReadNotifier->setEnabled(false);
}

quint32 TCommPortDriver::ReadInto(quint8 *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    const qint64 read = m_serial.read(reinterpret_cast<char *>(buffer), count);
    if (m_portReadNotifier)
        m_portReadNotifier->setEnabled(false); // reading turns it on again
    if (read <= 0)
        return 0;
    if (m_readTap)
        m_readTap(buffer, quint32(read));
    return quint32(read);
}

void TCommPortDriver::DeliverData(const quint8 *data, quint32 size)
{
    const DataHandler handler = m_onReceiveData;
    if (handler)
        (*handler)(this, data, size);
}

void TCommPortDriver::DeliverPacket(const quint8 *data, quint32 size)
{
    const PacketHandler handler = m_onReceivePacket;
    if (handler)
        (*handler)(this, data, size);
}

// Ten bit times per byte, at the speed the line runs at (BaudRateValue
// follows every speed code, and a custom speed may be below ten).
qint64 TCommPortDriver::PacketTransmitTime(quint32 packetSize) const
{
    const quint32 speed = m_baudRateValue;
    if (speed < 10)
        return 0;
    return qint64(std::nearbyint(packetSize / (speed / 10.0) * 1000.0));
}

void TCommPortDriver::ApplyIfConnected()
{
    if (IsConnected())
        ApplySettings();
}

void TCommPortDriver::SetPort(TPortNumber value)
{
    if (IsConnected() || !IsEnumerator(value))
        return;
    m_port = value;
    if (value != pnCustom)
        m_portName = QString::asprintf(R"(\\.\COM%d)", int(value));
}

void TCommPortDriver::SetPortName(const QString &value)
{
    if (IsConnected())
        return;
    m_portName = value;
    m_port = pnCustom;
}

void TCommPortDriver::SetBaudRate(TBaudRate value)
{
    if (!IsEnumerator(value))
        return;
    m_baudRate = value;
    if (value != brCustom)
        m_baudRateValue = BaudRateSpeed(value);
    ApplyIfConnected();
}

void TCommPortDriver::SetBaudRateValue(quint32 value)
{
    m_baudRateValue = value;
    m_baudRate = brCustom;
    ApplyIfConnected();
}

void TCommPortDriver::SetDataBits(TDataBits value)
{
    if (!IsEnumerator(value))
        return;
    m_dataBits = value;
    ApplyIfConnected();
}

void TCommPortDriver::SetStopBits(TStopBits value)
{
    if (!IsEnumerator(value))
        return;
    m_stopBits = value;
    ApplyIfConnected();
}

void TCommPortDriver::SetParity(TParity value)
{
    if (!IsEnumerator(value))
        return;
    m_parity = value;
    ApplyIfConnected();
}

void TCommPortDriver::SetHwFlow(THwFlowControl value)
{
    if (!IsEnumerator(value))
        return;
    m_hwFlow = value;
    ApplyIfConnected();
}

void TCommPortDriver::SetSwFlow(TSwFlowControl value)
{
    if (!IsEnumerator(value))
        return;
    m_swFlow = value;
    ApplyIfConnected();
}

void TCommPortDriver::SetInBufSize(quint32 value)
{
    if (IsConnected())
        return;
    ApplyInBufSize(std::clamp(value, MinBufSize, MaxBufSize));
    ApplyPacketSizeRule(m_packetSize);
}

void TCommPortDriver::ApplyInBufSize(quint32 value)
{
    m_inBufSize = value;
    m_receiveBuffers.SetSize(value);
    m_serial.setReadBufferSize(value);
}

void TCommPortDriver::SetOutBufSize(quint32 value)
{
    if (IsConnected())
        return;
    m_outBufSize = std::clamp(value, MinBufSize, MaxBufSize);
}

void TCommPortDriver::SetPacketSize(qint16 value)
{
    ApplyPacketSizeRule(value);
}

// A packet must fit the receive buffer, which is never larger than
// MaxBufSize; the buffer grows for it even while the port is open.
void TCommPortDriver::ApplyPacketSizeRule(qint16 value)
{
    if (value <= 0) {
        m_packetSize = -1;
        return;
    }
    m_packetSize = std::min<qint16>(value, qint16(MaxBufSize));
    if (quint32(m_packetSize) > m_inBufSize)
        ApplyInBufSize(quint32(m_packetSize));
}

void TCommPortDriver::SetPacketTimeout(qint32 value)
{
    ApplyPacketTimeoutRule(value);
}

void TCommPortDriver::ApplyPacketTimeoutRule(qint32 value)
{
    if (value <= 0)
        m_packetTimeout = -1;
    else if (value < m_pollingDelay)
        m_packetTimeout = m_pollingDelay + m_pollingDelay * 40 / 100;
    else
        m_packetTimeout = value;
}

void TCommPortDriver::SetPacketMode(TPacketMode value)
{
    if (IsEnumerator(value))
        m_packetMode = value;
}

void TCommPortDriver::SetPollingDelay(quint16 value)
{
    value = std::max(value, MinPollingDelay);
    if (value == m_pollingDelay)
        return;
    const bool polling = IsConnected();
    if (polling)
        m_pollTimer.stop();
    m_pollingDelay = value;
    if (polling)
        m_pollTimer.start(m_pollingDelay);
    ApplyPacketTimeoutRule(m_packetTimeout);
}

} // namespace kavro
