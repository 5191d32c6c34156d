// Millions of random and mutated instrument bytes through the receiver, with
// a host that re-enters ReceiveByte from its calls (as nested message loops
// do) and changes the windows under the receiver's feet. Checks on every
// byte and every host call (receiverinvariants.h): image writes only where
// the protocol puts them, valid data, only the receiver's own state
// transitions, readings in range, at most one service and one notice window.
//
// KAVRO_ROBUSTNESS_BYTES sets the byte count, KAVRO_ROBUSTNESS_SEED the seed.

#include "protocol/disturbinghost.h"
#include "protocol/instrumentreceiver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

#ifdef NDEBUG
constexpr qint64 DefaultByteCount = 6'000'000;
#else
constexpr qint64 DefaultByteCount = 1'500'000; // the sanitizer build
#endif

qint64 EnvNumber(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && value > 0 ? value : fallback;
}

// Instrument streams: plain noise, plausible traffic and the decoder's
// captures, all with occasional mutations.
class StreamSource
{
public:
    StreamSource(QRandomGenerator &random, QList<QByteArray> captures)
        : m_random(random)
        , m_captures(std::move(captures))
    { }

    quint8 Next()
    {
        if (m_pos >= m_buffer.size())
            Refill();
        return static_cast<quint8>(m_buffer[m_pos++]);
    }

private:
    int Below(int n) { return static_cast<int>(m_random.bounded(n)); }
    char AnyByte() { return static_cast<char>(Below(256)); }

    void Refill()
    {
        m_buffer.clear();
        m_pos = 0;
        switch (Below(4)) {
        case 0:
            for (int i = 0; i < 4096; ++i)
                m_buffer += AnyByte();
            return;
        case 1:
            m_buffer = m_captures[Below(int(m_captures.size()))];
            break;
        default:
            for (int i = 0; i < 64; ++i)
                AppendSegment();
            break;
        }
        Mutate();
    }

    void AppendSegment()
    {
        switch (Below(12)) {
        case 0: { // automatic zero setting
            m_buffer += char(0x80 + Below(6));
            m_buffer += char(0xD2);
            for (int word = Below(40); word >= 0; --word)
                m_buffer += QByteArray(1, char(word & 0xFF)) + char(word >> 8);
            break;
        }
        case 1: { // calibration block, sometimes empty, sometimes 65 bytes
            m_buffer += char(0xC4);
            m_buffer += char(Below(8) == 0 ? 0xFF : Below(255));
            for (int i = 0; i < 64; ++i)
                m_buffer += AnyByte();
            break;
        }
        case 10: // losses of step, each answered by detection at once: ImagePos creeps up
            for (int n = Below(300); n > 0; --n)
                m_buffer += QByteArray(1, char(0xC2)) + char(Below(128));
            break;
        case 2: // zero prefix start
            m_buffer += QByteArray(2 + Below(4), 0) + char(Below(3));
            break;
        case 3: { // notice, pump, operating modes
            static constexpr char codes[] = { char(0xC1), char(0xC2), char(0xD0), char(0x80),
                char(0x85), char(0x86), char(0x8F) };
            m_buffer += codes[Below(int(sizeof codes))];
            break;
        }
        default: { // readings
            for (int i = 0; i < 8; ++i) {
                const int channel = Below(16);
                m_buffer += char(channel < 8 ? 0xE0 + channel : 0xF0 + channel - 8);
                m_buffer += char(0x20 | Below(16));
                m_buffer += char(0x10 | Below(16));
                m_buffer += char(Below(16));
            }
        }
        }
    }

    // Bit flips, replaced, lost and repeated bytes.
    void Mutate()
    {
        QByteArray out;
        for (const char b : std::as_const(m_buffer)) {
            switch (Below(300)) {
            case 0:
                out += char(b ^ (1 << Below(8)));
                break;
            case 1:
                out += AnyByte();
                break;
            case 2:
                break;
            case 3:
                out += b;
                out += b;
                break;
            default:
                out += b;
            }
        }
        m_buffer = out.isEmpty() ? QByteArray(1, AnyByte()) : out;
    }

    QRandomGenerator &m_random;
    QList<QByteArray> m_captures;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
};

// Plays the program: its whims and its nested bytes come from the test's
// random stream; a reading during the zero capture is stored as the program
// stores it.
class ChaoticHost : public test::DisturbingHost
{
public:
    ChaoticHost(QRandomGenerator &random, StreamSource &source)
        : DisturbingHost(40, 2)
        , m_random(random)
        , m_source(source)
    { }

    qint64 nestedBytes = 0;

private:
    unsigned Below(unsigned n) override { return m_random.bounded(quint32(n)); }
    bool DeliverNested() override
    {
        ++nestedBytes;
        Deliver(m_source.Next());
        return true;
    }
    void TakeReading(int channel, int rawValue) override
    {
        if (Data().ZeroCapture && channel >= 0 && channel < ZeroReadingChannels)
            Data().ZeroReadings[static_cast<std::size_t>(channel)] = rawValue;
    }

    QRandomGenerator &m_random;
    StreamSource &m_source;
};

QList<QByteArray> DecoderCaptures()
{
    QList<QByteArray> captures;
    const QDir dir(QStringLiteral(KAVRO_TEST_DATA "/decode"));
    for (const QString &name : dir.entryList({ u"*.hex"_s }, QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray hex;
        for (QByteArray line : file.readAll().split('\n')) {
            const qsizetype comment = line.indexOf('#');
            hex += (comment >= 0 ? line.left(comment) : line) + ' ';
        }
        const QByteArray bytes = QByteArray::fromHex(hex);
        if (!bytes.isEmpty())
            captures << bytes;
    }
    return captures;
}

} // namespace

class tst_ReceiverRobustness : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomAndMutatedStreams();
};

void tst_ReceiverRobustness::randomAndMutatedStreams()
{
    const qint64 byteCount = EnvNumber("KAVRO_ROBUSTNESS_BYTES", DefaultByteCount);
    const auto seed = static_cast<quint32>(EnvNumber("KAVRO_ROBUSTNESS_SEED", 20261208));
    const QList<QByteArray> captures = DecoderCaptures();
    QVERIFY2(captures.size() >= 5, "the decoder's captures seed the mutations");

    QRandomGenerator random(seed);
    StreamSource source(random, captures);
    ChaoticHost host(random, source);
    QElapsedTimer clock;
    clock.start();

    int programRuns = 0;
    int statesSeen = 0;
    int highestDetectingPos = 0;
    while (host.checks.bytes < byteCount && host.checks.failure.isEmpty()) {
        // One program run: fresh data, a new receiver, until a diagnostic
        // mode ends it or the stream moves on.
        ReceiverData data;
        TInstrumentReceiver receiver(data, host);
        host.Attach(receiver, data);
        ++programRuns;
        const qint64 runEnd = host.checks.bytes + static_cast<qint64>(random.bounded(50'000));
        while (host.checks.bytes < runEnd && !host.programEnded && host.checks.failure.isEmpty()) {
            host.Deliver(source.Next());
            statesSeen |= 1 << data.ReceiverState;
            if (data.ReceiverState == rsDetecting)
                highestDetectingPos = std::max(highestDetectingPos, data.ImagePos);
            if (data.ReceiverState == rsHalted && random.bounded(1000) == 0)
                receiver.ResetForPortSetup();
        }
        host.CheckWindows();
    }
    qInfo("seed %u: %lld bytes (%lld nested), %lld readings, %lld state changes, %d runs, "
          "highest detecting ImagePos %d, in %lld ms",
        seed, host.checks.bytes, host.nestedBytes, host.checks.readings, host.checks.transitions,
        programRuns, highestDetectingPos, clock.elapsed());
    QVERIFY2(host.checks.failure.isEmpty(), host.checks.failure.constData());
    QCOMPARE(statesSeen, 0x3F); // every state was visited
    QVERIFY2(highestDetectingPos > InstrumentImageSize, "detection above 255 was exercised");
    QVERIFY(host.nestedBytes > 0);
}

QTEST_GUILESS_MAIN(tst_ReceiverRobustness)
#include "tst_receiverrobustness.moc"
