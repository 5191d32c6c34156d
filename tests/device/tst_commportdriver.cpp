#include "device/commportdriver.h"
#include "device/portdevicemap.h"
#include "support/pseudoterminal.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <cerrno>
#include <numeric>
#include <termios.h>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

// Every batch or packet a handler was given, in order.
struct Deliveries
{
    QList<QByteArray> calls;

    TReceiveDataEvent Handler()
    {
        return [this](TCommPortDriver *, const quint8 *data, quint32 size) {
            calls.append(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        };
    }
};

QByteArray Pattern(qsizetype size, int seed = 0)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i + seed) % 251);
    return bytes;
}

const quint8 *Bytes(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

bool OpenOn(TCommPortDriver &driver, const PseudoTerminal &pty)
{
    driver.SetPortName(pty.SlavePath());
    return pty.IsOpen() && driver.Connect();
}

// "Name=value; Name=value": values that are integers are written as such,
// all others as text (enumerators by their names).
QList<std::pair<QByteArray, QString>> Assignments(const QString &text)
{
    QList<std::pair<QByteArray, QString>> assignments;
    for (const QString &item : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        assignments.append(
            { item.left(equals).trimmed().toLatin1(), item.mid(equals + 1).trimmed() });
    }
    return assignments;
}

QVariant AsValue(const QString &text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber ? QVariant(number) : QVariant(text);
}

} // namespace

class TestCommPortDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void setterRules_data();
    void setterRules();
    void portAndBuffersFixedWhileOpen();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();

    void deviceForPortName_data();
    void deviceForPortName();
    void deviceMapLoadAndStore();
    void comPortOpensMappedDevice();

    void connectAndDisconnect();
    void connectFailsAndStaysClosed_data();
    void connectFailsAndStaysClosed();
    void secondConnectKeepsThePortOpen();
    void secondDriverCannotOpenSamePort();

    void batchDeliveredInOneCall();
    void bytesDroppedWithoutHandler();
    void pollingDelayChangeRestartsTimer();
    void nestedDeliveryKeepsOuterBytes();
    void handlerMayClearItself();
    void packetTimeout_data();
    void packetTimeout();
    void packetsCutFromStream();

    void sendOnClosedPortFailsAtOnce();
    void bytesOnTheWire_data();
    void bytesOnTheWire();
    void stalledPeerTimesOutWithHonestCounts();
    void checkLineStatusWithoutModemLines();
    void sendToVanishedDeviceFailsAtOnce();
    void vanishedDeviceClosesAtOnce_data();
    void vanishedDeviceClosesAtOnce();
    void fastPeerHeldBackBySystem();
    void bytesTakenAtTicksOnly();

    void realPort();
};

void TestCommPortDriver::defaults()
{
    const TCommPortDriver driver;
    const QString expected
        = uR"(Port=pnCOM2; PortName=\\.\COM2; BaudRate=br9600; BaudRateValue=9600;
        DataBits=db8BITS; StopBits=sb1BITS; Parity=ptNONE; HwFlow=hfNONERTSON; SwFlow=sfNONE;
        InBufSize=2048; OutBufSize=2048; PacketSize=-1; PacketTimeout=-1; PacketMode=pmDiscard;
        PollingDelay=50; EnableDTROnOpen=true; OutputTimeout=500; InputTimeout=200;
        CheckLineStatus=false)"_s;
    for (const auto &[name, value] : Assignments(expected))
        QCOMPARE(driver.property(name.constData()).toString(), value);
    QVERIFY(!driver.IsConnected());
    QVERIFY(!driver.HasOnReceiveData());
    QVERIFY(!driver.HasOnReceivePacket());
}

void TestCommPortDriver::setterRules_data()
{
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Port names its COM device")
        << u"Port=pnCOM4"_s << uR"(Port=pnCOM4; PortName=\\.\COM4)"_s;
    QTest::newRow("two-digit port") << u"Port=pnCOM16"_s << uR"(PortName=\\.\COM16)"_s;
    QTest::newRow("pnCustom keeps the name")
        << u"Port=pnCOM3; Port=pnCustom"_s << uR"(Port=pnCustom; PortName=\\.\COM3)"_s;
    QTest::newRow("PortName makes it custom")
        << u"Port=pnCOM1; PortName=/dev/ttyUSB0"_s << u"Port=pnCustom; PortName=/dev/ttyUSB0"_s;
    QTest::newRow("speed code sets speed") << u"BaudRate=br19200"_s << u"BaudRateValue=19200"_s;
    QTest::newRow("lowest speed code") << u"BaudRate=br110"_s << u"BaudRateValue=110"_s;
    QTest::newRow("highest speed code") << u"BaudRate=br256000"_s << u"BaudRateValue=256000"_s;
    QTest::newRow("brCustom keeps speed")
        << u"BaudRate=br57600; BaudRate=brCustom"_s << u"BaudRate=brCustom; BaudRateValue=57600"_s;
    QTest::newRow("speed makes it custom")
        << u"BaudRateValue=12345"_s << u"BaudRate=brCustom; BaudRateValue=12345"_s;
    QTest::newRow("InBufSize low") << u"InBufSize=50"_s << u"InBufSize=128"_s;
    QTest::newRow("InBufSize high") << u"InBufSize=10000"_s << u"InBufSize=8192"_s;
    QTest::newRow("InBufSize in range") << u"InBufSize=4096"_s << u"InBufSize=4096"_s;
    QTest::newRow("OutBufSize low") << u"OutBufSize=50"_s << u"OutBufSize=128"_s;
    QTest::newRow("OutBufSize high") << u"OutBufSize=10000"_s << u"OutBufSize=8192"_s;
    QTest::newRow("PacketSize 0 is none") << u"PacketSize=0"_s << u"PacketSize=-1"_s;
    QTest::newRow("PacketSize negative is none") << u"PacketSize=-7"_s << u"PacketSize=-1"_s;
    QTest::newRow("PacketSize fits") << u"PacketSize=100"_s << u"PacketSize=100; InBufSize=2048"_s;
    QTest::newRow("PacketSize raises InBufSize")
        << u"PacketSize=3000"_s << u"PacketSize=3000; InBufSize=3000"_s;
    QTest::newRow("PacketSize capped at largest buffer")
        << u"PacketSize=9000"_s << u"PacketSize=8192; InBufSize=8192"_s;
    QTest::newRow("InBufSize stays above PacketSize")
        << u"PacketSize=3000; InBufSize=128"_s << u"InBufSize=3000"_s;
    QTest::newRow("InBufSize free without packets")
        << u"PacketSize=3000; PacketSize=-1; InBufSize=128"_s << u"InBufSize=128"_s;
    QTest::newRow("PacketTimeout 0 is never") << u"PacketTimeout=0"_s << u"PacketTimeout=-1"_s;
    QTest::newRow("PacketTimeout below polling") << u"PacketTimeout=30"_s << u"PacketTimeout=70"_s;
    QTest::newRow("PacketTimeout equal to polling")
        << u"PacketTimeout=50"_s << u"PacketTimeout=50"_s;
    QTest::newRow("PollingDelay low") << u"PollingDelay=2"_s << u"PollingDelay=5"_s;
    QTest::newRow("PollingDelay 0") << u"PollingDelay=0"_s << u"PollingDelay=5"_s;
    QTest::newRow("PollingDelay re-applies PacketTimeout")
        << u"PacketTimeout=60; PollingDelay=100"_s << u"PacketTimeout=140"_s;
    QTest::newRow("PollingDelay keeps no time-out")
        << u"PollingDelay=100"_s << u"PacketTimeout=-1"_s;
    QTest::newRow("small PollingDelay rounds down")
        << u"PollingDelay=7; PacketTimeout=3"_s << u"PacketTimeout=9"_s;
    QTest::newRow("unknown enumerator ignored")
        << u"DataBits=db7BITS; DataBits=9"_s << u"DataBits=db7BITS"_s;
    QTest::newRow("unknown port ignored")
        << u"Port=pnCOM5; Port=17"_s << uR"(Port=pnCOM5; PortName=\\.\COM5)"_s;
}

void TestCommPortDriver::setterRules()
{
    QFETCH(QString, writes);
    QFETCH(QString, expected);
    TCommPortDriver driver;
    for (const auto &[name, value] : Assignments(writes))
        QVERIFY2(driver.setProperty(name.constData(), AsValue(value)), name.constData());
    for (const auto &[name, value] : Assignments(expected))
        QCOMPARE(driver.property(name.constData()).toString(), value);
}

void TestCommPortDriver::portAndBuffersFixedWhileOpen()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    driver.SetPort(pnCOM4);
    driver.SetPortName(u"/dev/ttyS3"_s);
    driver.SetInBufSize(4096);
    driver.SetOutBufSize(4096);
    QCOMPARE(driver.Port(), pnCustom);
    QCOMPARE(driver.PortName(), pty.SlavePath());
    QCOMPARE(driver.InBufSize(), 2048u);
    QCOMPARE(driver.OutBufSize(), 2048u);

    driver.Disconnect();
    driver.SetPort(pnCOM4);
    QCOMPARE(driver.PortName(), uR"(\\.\COM4)"_s);
}

// The pseudo-terminal's master shows the line settings of its slave side
// (a pseudo-terminal keeps 8 data bits and no parity whatever it is told).
void TestCommPortDriver::lineSettingsReachTheDevice_data()
{
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("field");
    QTest::addColumn<uint>("mask");
    QTest::addColumn<uint>("bits");

    QTest::newRow("speed code") << u"BaudRate=br19200"_s << u"speed"_s << 0u << uint(B19200);
    QTest::newRow("speed value") << u"BaudRateValue=57600"_s << u"speed"_s << 0u << uint(B57600);
    QTest::newRow("two stop bits")
        << u"StopBits=sb2BITS"_s << u"cflag"_s << uint(CSTOPB) << uint(CSTOPB);
    QTest::newRow("RTS/CTS") << u"HwFlow=hfRTSCTS"_s << u"cflag"_s << uint(CRTSCTS)
                             << uint(CRTSCTS);
    QTest::newRow("XON/XOFF") << u"SwFlow=sfXONXOFF"_s << u"iflag"_s << uint(IXON | IXOFF)
                              << uint(IXON | IXOFF);
}

void TestCommPortDriver::lineSettingsReachTheDevice()
{
    QFETCH(QString, writes);
    QFETCH(QString, field);
    QFETCH(uint, mask);
    QFETCH(uint, bits);
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    for (const auto &[name, value] : Assignments(writes))
        QVERIFY(driver.setProperty(name.constData(), AsValue(value)));

    const termios settings = pty.Settings();
    if (field == u"speed")
        QCOMPARE(uint(::cfgetospeed(&settings)), bits);
    else if (field == u"cflag")
        QCOMPARE(uint(settings.c_cflag) & mask, bits);
    else
        QCOMPARE(uint(settings.c_iflag) & mask, bits);
}

void TestCommPortDriver::deviceForPortName_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("device");

    QTest::newRow("COM1") << uR"(\\.\COM1)"_s << u"/dev/ttyS0"_s;
    QTest::newRow("COM4 from the map") << uR"(\\.\COM4)"_s << u"/dev/ttyUSB1"_s;
    QTest::newRow("COM5 beyond the map") << uR"(\\.\COM5)"_s << u"/dev/ttyS4"_s;
    QTest::newRow("COM16") << uR"(\\.\COM16)"_s << u"/dev/ttyS15"_s;
    QTest::newRow("lower case") << uR"(\\.\com2)"_s << u"/dev/ttyS1"_s;
    QTest::newRow("device path") << u"/dev/pts/7"_s << u"/dev/pts/7"_s;
    QTest::newRow("bare COM1") << u"COM1"_s << u"COM1"_s;
    QTest::newRow("COM0") << uR"(\\.\COM0)"_s << uR"(\\.\COM0)"_s;
    QTest::newRow("leading zero") << uR"(\\.\COM01)"_s << uR"(\\.\COM01)"_s;
    QTest::newRow("no number") << uR"(\\.\COM)"_s << uR"(\\.\COM)"_s;
    QTest::newRow("trailing text") << uR"(\\.\COM1x)"_s << uR"(\\.\COM1x)"_s;
    QTest::newRow("huge number") << uR"(\\.\COM99999999999)"_s << uR"(\\.\COM99999999999)"_s;
}

void TestCommPortDriver::deviceForPortName()
{
    QFETCH(QString, portName);
    QFETCH(QString, device);
    PortDeviceMap map;
    map.SetDevicePath(4, u"/dev/ttyUSB1"_s);
    QCOMPARE(map.DeviceForPortName(portName), device);
}

void TestCommPortDriver::deviceMapLoadAndStore()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"KAVRO02.ini"_s);
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(u"Ports/COM2"_s, u"/dev/ttyUSB0"_s);
        settings.setValue(u"Ports/COM3"_s, u"  "_s);
    }
    QSettings settings(file, QSettings::IniFormat);
    const PortDeviceMap loaded = PortDeviceMap::Load(settings);
    QCOMPARE(loaded.DevicePath(1), u"/dev/ttyS0"_s);
    QCOMPARE(loaded.DevicePath(2), u"/dev/ttyUSB0"_s);
    QCOMPARE(loaded.DevicePath(3), u"/dev/ttyS2"_s);
    QCOMPARE(loaded.DevicePath(4), u"/dev/ttyS3"_s);

    PortDeviceMap changed = loaded;
    changed.SetDevicePath(4, u"/dev/ttyACM0"_s);
    changed.Store(settings);
    settings.sync();
    QCOMPARE(
        QSettings(file, QSettings::IniFormat).value(u"Ports/COM4"_s).toString(), u"/dev/ttyACM0"_s);
    QCOMPARE(PortDeviceMap::Load(settings), changed);
}

void TestCommPortDriver::comPortOpensMappedDevice()
{
    PseudoTerminal pty;
    PortDeviceMap map;
    map.SetDevicePath(3, pty.SlavePath());
    TCommPortDriver driver;
    driver.SetDeviceMap(map);
    driver.SetPort(pnCOM3);
    QVERIFY(driver.Connect());
    QCOMPARE(driver.PortName(), uR"(\\.\COM3)"_s);
    QVERIFY(driver.SendByte(0xC4));
    QCOMPARE(pty.Read(1, 1000), QByteArray("\xC4"));
}

void TestCommPortDriver::connectAndDisconnect()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty)); // DTR and RTS raised on a device without modem lines
    QVERIFY(driver.IsConnected());
    QCOMPARE(driver.LineStatus(), TLineStatus {});
    QCOMPARE(driver.OutputFreeSpace(), quint16(2048));
    QVERIFY(driver.PurgeBuffers(true, true));

    driver.Disconnect();
    QVERIFY(!driver.IsConnected());
    QCOMPARE(driver.OutputFreeSpace(), quint16(65535));
    QVERIFY(!driver.PurgeBuffers(true, true));
    QVERIFY(!driver.ApplySettings());
    driver.Disconnect();
    QVERIFY(driver.Connect());
}

void TestCommPortDriver::connectFailsAndStaysClosed_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("reason");

    const QString noSuchFile = qt_error_string(ENOENT);
    QTest::newRow("missing device") << u"/dev/kavro-no-such-tty"_s << QString() << noSuchFile;
    QTest::newRow("COM3 mapped to a missing device") << uR"(\\.\COM3)"_s << QString() << noSuchFile;
    QTest::newRow("empty name") << QString() << QString() << noSuchFile;
    QTest::newRow("not a terminal") << u"FILE"_s << QString() << qt_error_string(ENOTTY);
    QTest::newRow("1.5 stop bits refused")
        << u"PTY"_s << u"StopBits=sb1HALFBITS"_s << u"1.5 stop bits are not supported here"_s;
    QTest::newRow("speed 0 refused")
        << u"PTY"_s << u"BaudRateValue=0"_s << u"speed 0 bit/s is not supported"_s;
}

void TestCommPortDriver::connectFailsAndStaysClosed()
{
    QFETCH(QString, portName);
    QFETCH(QString, settings);
    QFETCH(QString, reason);
    PseudoTerminal pty;
    QTemporaryFile file;
    QVERIFY(file.open());
    PortDeviceMap map;
    map.SetDevicePath(3, u"/dev/kavro-no-such-tty"_s);
    TCommPortDriver driver;
    driver.SetDeviceMap(map);
    driver.SetPortName(portName == u"FILE" ? file.fileName()
            : portName == u"PTY"           ? pty.SlavePath()
                                           : portName);
    for (const auto &[name, value] : Assignments(settings))
        QVERIFY(driver.setProperty(name.constData(), AsValue(value)));

    QTest::ignoreMessage(QtWarningMsg,
        QRegularExpression(u" cannot be opened: "_s + QRegularExpression::escape(reason) + u'$'));
    QVERIFY(!driver.Connect());
    QVERIFY(!driver.IsConnected());
    QCOMPARE(driver.LastError(), reason);
    QVERIFY(!driver.SendByte(1));
    if (portName == u"PTY") { // closed again: another driver can have it
        TCommPortDriver other;
        QVERIFY(OpenOn(other, pty));
    }
}

// Reopening would purge what the device has already received.
void TestCommPortDriver::secondConnectKeepsThePortOpen()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(60000);
    QVERIFY(OpenOn(driver, pty));
    Deliveries received;
    driver.SetOnReceiveData(received.Handler());
    QVERIFY(pty.Write("\x01\x02\x03"));
    QTest::qWait(50);

    QVERIFY(driver.Connect());
    driver.SetPollingDelay(10);
    QVERIFY(QTest::qWaitFor([&] { return !received.calls.isEmpty(); }, 2000));
    QCOMPARE(received.calls, QList<QByteArray> { "\x01\x02\x03" });
}

void TestCommPortDriver::secondDriverCannotOpenSamePort()
{
    PseudoTerminal pty;
    TCommPortDriver first;
    QVERIFY(OpenOn(first, pty));
    TCommPortDriver second;
    QVERIFY(!OpenOn(second, pty));
    QVERIFY(!second.IsConnected());
    QVERIFY(first.SendByte(7));
    QCOMPARE(pty.Read(1, 1000), QByteArray("\x07"));
}

void TestCommPortDriver::batchDeliveredInOneCall()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(200); // the whole batch is queued before the tick
    QVERIFY(OpenOn(driver, pty));
    Deliveries received;
    driver.SetOnReceiveData(received.Handler());
    const QByteArray batch = Pattern(30, 100);
    QVERIFY(pty.Write(batch));

    QVERIFY(QTest::qWaitFor([&] { return !received.calls.isEmpty(); }, 2000));
    QTest::qWait(250);
    QCOMPARE(received.calls, QList<QByteArray> { batch });
}

void TestCommPortDriver::bytesDroppedWithoutHandler()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(5);
    QVERIFY(OpenOn(driver, pty));
    QVERIFY(pty.Write(Pattern(30, 1)));
    QTest::qWait(200); // many ticks with no handler

    Deliveries received;
    driver.SetOnReceiveData(received.Handler());
    const QByteArray later = Pattern(12, 77);
    QVERIFY(pty.Write(later));
    QVERIFY(QTest::qWaitFor([&] { return received.calls.join().size() >= later.size(); }, 2000));
    QCOMPARE(received.calls.join(), later);
}

void TestCommPortDriver::pollingDelayChangeRestartsTimer()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(60000);
    QVERIFY(OpenOn(driver, pty));
    Deliveries received;
    driver.SetOnReceiveData(received.Handler());
    QVERIFY(pty.Write("\x55"));
    QTest::qWait(100);
    QVERIFY(received.calls.isEmpty());

    driver.SetPollingDelay(20);
    QVERIFY(QTest::qWaitFor([&] { return !received.calls.isEmpty(); }, 1000));
    QCOMPARE(received.calls, QList<QByteArray> { "\x55" });
}

// A handler that opens a modal message box runs a nested event loop in which
// ticks go on; the bytes it was handed must stay as they were.
void TestCommPortDriver::nestedDeliveryKeepsOuterBytes()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(10);
    QVERIFY(OpenOn(driver, pty));
    const QByteArray first(20, 'A');
    const QByteArray second(20, 'B');
    Deliveries received;
    bool outerDone = false;
    bool outerIntact = false;
    driver.SetOnReceiveData([&](TCommPortDriver *, const quint8 *data, quint32 size) {
        const QByteArray mine(reinterpret_cast<const char *>(data), qsizetype(size));
        received.calls.append(mine);
        if (received.calls.size() != 1)
            return;
        pty.Write(second);
        const bool nestedCame = QTest::qWaitFor([&] { return received.calls.size() >= 2; }, 2000);
        outerIntact = nestedCame
            && QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)) == mine;
        outerDone = true;
    });
    QVERIFY(pty.Write(first));

    QVERIFY(QTest::qWaitFor([&] { return outerDone; }, 3000));
    QCOMPARE(received.calls, (QList<QByteArray> { first, second }));
    QVERIFY(outerIntact);
}

void TestCommPortDriver::handlerMayClearItself()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(10);
    QVERIFY(OpenOn(driver, pty));
    int calls = 0;
    int captured = 0;
    driver.SetOnReceiveData([&calls, &captured, &driver, payload = std::vector<int>(1000, 1)](
                                TCommPortDriver *, const quint8 *, quint32) {
        ++calls;
        driver.SetOnReceiveData(nullptr);
        captured = std::accumulate(payload.begin(), payload.end(), 0); // still alive
    });
    QVERIFY(pty.Write("\x01"));
    QVERIFY(QTest::qWaitFor([&] { return calls > 0; }, 2000));
    QVERIFY(pty.Write("\x02"));
    QTest::qWait(100);
    QCOMPARE(calls, 1);
    QCOMPARE(captured, 1000);
    QVERIFY(!driver.HasOnReceiveData());
}

void TestCommPortDriver::packetTimeout_data()
{
    QTest::addColumn<TPacketMode>("mode");
    QTest::addColumn<QList<QByteArray>>("expected");

    QTest::newRow("pmDiscard drops the incomplete packet")
        << pmDiscard << QList<QByteArray> { Pattern(10, 50) };
    QTest::newRow("pmPass delivers it") << pmPass << QList<QByteArray> { "abcd", Pattern(10, 50) };
}

void TestCommPortDriver::packetTimeout()
{
    QFETCH(TPacketMode, mode);
    QFETCH(QList<QByteArray>, expected);
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(10);
    driver.SetPacketSize(10);
    driver.SetPacketTimeout(150);
    driver.SetPacketMode(mode);
    QVERIFY(OpenOn(driver, pty));
    Deliveries received;
    driver.SetOnReceivePacket(received.Handler());
    driver.SetOnReceiveData(received.Handler()); // must not be used in packet mode

    QElapsedTimer sinceWrite;
    QVERIFY(pty.Write("abcd"));
    sinceWrite.start();
    QTest::qWait(80);
    QVERIFY(received.calls.isEmpty()); // not yet timed out
    const bool delivered = QTest::qWaitFor([&] { return !received.calls.isEmpty(); }, 600);
    QCOMPARE(delivered, mode == pmPass);
    QVERIFY(sinceWrite.elapsed() >= 150);

    QVERIFY(pty.Write(Pattern(10, 50))); // the next packet starts afresh
    QVERIFY(QTest::qWaitFor([&] { return received.calls.size() == expected.size(); }, 2000));
    QTest::qWait(50);
    QCOMPARE(received.calls, expected);
}

// Whole packets are cut from what is waiting; the rest begins the next
// packet and waits for its time-out from when it was seen.
void TestCommPortDriver::packetsCutFromStream()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(10);
    driver.SetPacketSize(10);
    driver.SetPacketTimeout(600);
    driver.SetPacketMode(pmDiscard);
    QVERIFY(OpenOn(driver, pty));
    Deliveries received;
    driver.SetOnReceivePacket(received.Handler());
    const QByteArray stream = Pattern(30, 9);
    QTest::qWait(700); // the driver's clock has run past one time-out

    QVERIFY(pty.Write(stream.left(25)));
    QVERIFY(QTest::qWaitFor([&] { return received.calls.size() == 2; }, 2000));
    QTest::qWait(100); // several ticks see the 5 waiting bytes
    QVERIFY(pty.Write(stream.mid(25)));
    QVERIFY(QTest::qWaitFor([&] { return received.calls.size() == 3; }, 2000));
    QCOMPARE(received.calls,
        (QList<QByteArray> { stream.left(10), stream.mid(10, 10), stream.mid(20) }));
}

void TestCommPortDriver::sendOnClosedPortFailsAtOnce()
{
    TCommPortDriver driver;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!driver.SendByte(0xD0));
    QCOMPARE(driver.SendData(Bytes("abc"), 3), 0u);
    QVERIFY(timer.elapsed() < 100);
    QCOMPARE(driver.LineStatus(), TLineStatus {});
}

void TestCommPortDriver::bytesOnTheWire_data()
{
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("pump command") << QByteArray("\xD0");
    QTest::newRow("zero byte") << QByteArray(1, '\0');
    QTest::newRow("300 bytes") << Pattern(300);
    QTest::newRow("more than the transmit queue") << Pattern(5000, 3);
}

void TestCommPortDriver::bytesOnTheWire()
{
    QFETCH(QByteArray, data);
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    if (data.size() == 1)
        QVERIFY(driver.SendByte(quint8(data[0])));
    else
        QCOMPARE(driver.SendData(Bytes(data), quint32(data.size())), quint32(data.size()));
    QCOMPARE(driver.OutputFreeSpace(), quint16(2048));
    QCOMPARE(pty.Read(data.size(), 1000), data);
}

// The peer never reads: the pseudo-terminal fills up and sends give up after
// their time-out. Every byte reported as written reaches the peer, and none
// that was not reported follows later.
void TestCommPortDriver::stalledPeerTimesOutWithHonestCounts()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    const QByteArray block = Pattern(4096, 5);
    QByteArray reported;
    bool full = false;
    for (int i = 0; i < 500 && !full; ++i) {
        const quint32 written = driver.SendDataTimed(Bytes(block), quint32(block.size()), 50);
        reported += block.left(written);
        full = written == 0;
    }
    QVERIFY(full);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!driver.SendByte(0xAA));
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 400 && elapsed <= 2500, QByteArray::number(elapsed).constData());
    QCOMPARE(driver.OutputFreeSpace(), quint16(2048)); // nothing left behind

    QCOMPARE(pty.ReadUntilQuiet(200), reported);
    QTest::qWait(100);
    QCOMPARE(pty.ReadUntilQuiet(50), QByteArray());
    QVERIFY(driver.SendByte(0x5A)); // the line moves again
    QCOMPARE(pty.Read(1, 1000), QByteArray("\x5A"));
}

// A pseudo-terminal has no modem input lines, so nothing may be written.
void TestCommPortDriver::checkLineStatusWithoutModemLines()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetCheckLineStatus(true);
    QVERIFY(OpenOn(driver, pty));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!driver.SendByte(0xD2));
    QVERIFY(timer.elapsed() < driver.OutputTimeout() / 2);
    QCOMPARE(pty.Read(1, 100), QByteArray());
}

void TestCommPortDriver::sendToVanishedDeviceFailsAtOnce()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    pty.Close();
    QElapsedTimer timer;
    timer.start();
    QTest::ignoreMessage(QtWarningMsg,
        qPrintable(
            u"%1 closed, its device has gone: %2"_s.arg(pty.SlavePath(), qt_error_string(EIO))));
    QVERIFY(!driver.SendByte(0xC4));
    QVERIFY(timer.elapsed() < driver.OutputTimeout() / 2);
    QVERIFY(!driver.IsConnected());
    QCOMPARE(driver.LastError(), qt_error_string(EIO));
    QTest::qWait(100); // ticks on a dead device do no harm
    driver.Disconnect();
    QVERIFY(!driver.IsConnected());
}

void TestCommPortDriver::vanishedDeviceClosesAtOnce_data()
{
    QTest::addColumn<bool>("insideHandler");

    QTest::newRow("between deliveries") << false;
    QTest::newRow("while a handler runs a nested event loop") << true;
}

// The far side of a pseudo-terminal closes: the device is hung up, reads
// give end of file and poll reports it without end. The driver closes the
// port at once and then has nothing more to do.
void TestCommPortDriver::vanishedDeviceClosesAtOnce()
{
    QFETCH(bool, insideHandler);
    PseudoTerminal pty;
    TCommPortDriver driver;
    QVERIFY(OpenOn(driver, pty));
    TPortActivity atUnplug;
    bool closedInHandler = false;
    driver.SetOnReceiveData([&](TCommPortDriver *, const quint8 *, quint32) {
        atUnplug = driver.Activity();
        pty.Close();
        if (insideHandler)
            closedInHandler = QTest::qWaitFor([&] { return !driver.IsConnected(); }, 5000);
    });
    QTest::ignoreMessage(QtWarningMsg,
        qPrintable(
            u"%1 closed, its device has gone: %2"_s.arg(pty.SlavePath(), qt_error_string(EIO))));
    QVERIFY(pty.Write("\x01"));

    QTRY_VERIFY(!driver.IsConnected());
    QCOMPARE(closedInHandler, insideHandler);
    const TPortActivity atClose = driver.Activity();
    // Closed before the next tick but one: within one polling interval.
    QVERIFY2(atClose.PollTicks - atUnplug.PollTicks <= 1,
        qPrintable(u"%1 ticks"_s.arg(atClose.PollTicks - atUnplug.PollTicks)));
    QCOMPARE(driver.LastError(), qt_error_string(EIO));

    QTest::qWait(10 * driver.PollingDelay());
    const TPortActivity later = driver.Activity();
    qInfo("port signals until closed: %llu; afterwards in 10 polling intervals: %llu signals, "
          "%llu ticks",
        atClose.PortSignals - atUnplug.PortSignals, later.PortSignals - atClose.PortSignals,
        later.PollTicks - atClose.PollTicks);
    QVERIFY(atClose.PortSignals - atUnplug.PortSignals <= 5);
    QCOMPARE(later.PortSignals, atClose.PortSignals);
    QCOMPARE(later.PollTicks, atClose.PollTicks);
}

// The peer writes whenever the line takes bytes, far faster than the
// driver reads (512 bytes a tick). The driver holds at most InBufSize bytes;
// the system holds the peer back; every byte arrives once, in order.
// An instrument sends a few bytes every millisecond or two. The driver takes
// them at its polling tick, not as they arrive: the port object reports input
// at most once a tick, and every byte comes in order.
void TestCommPortDriver::bytesTakenAtTicksOnly()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetPollingDelay(50);
    QVERIFY(OpenOn(driver, pty));
    QByteArray received;
    driver.SetOnReceiveData([&](TCommPortDriver *, const quint8 *data, quint32 size) {
        received.append(reinterpret_cast<const char *>(data), qsizetype(size));
    });
    const QByteArray stream = Pattern(600, 3);
    const TPortActivity before = driver.Activity();
    for (qsizetype sent = 0; sent < stream.size(); sent += 4) {
        pty.WriteAvailable(stream.mid(sent, 4));
        QTest::qWait(2);
    }
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), stream.size(), 2000);
    QCOMPARE(received, stream);
    const quint64 ticks = driver.Activity().PollTicks - before.PollTicks;
    const quint64 signals = driver.Activity().PortSignals - before.PortSignals;
    qInfo("150 writes of 4 bytes: %llu ticks, %llu port signals", ticks, signals);
    QVERIFY2(signals <= ticks, qPrintable(u"%1 signals in %2 ticks"_s.arg(signals).arg(ticks)));
}

void TestCommPortDriver::fastPeerHeldBackBySystem()
{
    PseudoTerminal pty;
    TCommPortDriver driver;
    driver.SetInBufSize(512);
    driver.SetPollingDelay(10);
    QVERIFY(OpenOn(driver, pty));
    QByteArray received;
    quint32 largestBatch = 0;
    driver.SetOnReceiveData([&](TCommPortDriver *, const quint8 *data, quint32 size) {
        received.append(reinterpret_cast<const char *>(data), qsizetype(size));
        largestBatch = std::max(largestBatch, size);
    });
    const QByteArray stream = Pattern(8 << 20, 17);
    qsizetype sent = 0;
    QElapsedTimer flood;
    flood.start();
    while (flood.elapsed() < 1000) {
        sent += pty.WriteAvailable(stream.mid(sent, 1 << 16));
        QTest::qWait(1);
    }
    const qsizetype heldBack = sent - received.size();
    qInfo("in 1 s: %lld bytes written, %lld delivered, %lld held by the system and the driver; "
          "the driver held at most %lld",
        qlonglong(sent), qlonglong(received.size()), qlonglong(heldBack),
        qlonglong(driver.Activity().MostQueuedInput));
    QVERIFY(driver.Activity().MostQueuedInput > 0);
    QVERIFY(driver.Activity().MostQueuedInput <= qint64(driver.InBufSize()));
    QVERIFY(largestBatch <= driver.InBufSize());
    QVERIFY2(heldBack <= 256 * 1024, qPrintable(QString::number(heldBack)));
    // Held back, not lost: what arrived is the stream's beginning, byte for byte.
    QVERIFY(received == stream.first(received.size()));

    QTRY_COMPARE_WITH_TIMEOUT(received.size(), sent, 30000);
    QVERIFY(received == stream.left(sent));
}

void TestCommPortDriver::realPort()
{
    const QString portName = qEnvironmentVariable("KAVRO_TEST_REAL_PORT");
    if (portName.isEmpty())
        QSKIP("Set KAVRO_TEST_REAL_PORT to a serial port (/dev/ttyUSB0, \\\\.\\COM3) to try a real "
              "device: it is opened at 9600 8N1 and sent one byte (0xC4).");
    TCommPortDriver driver;
    driver.SetPortName(portName);
    QVERIFY2(driver.Connect(), qPrintable(portName));
    QVERIFY(driver.SendByte(0xC4));
    driver.Disconnect();
    QVERIFY(!driver.IsConnected());
}

QTEST_GUILESS_MAIN(TestCommPortDriver)
#include "tst_commportdriver.moc"
