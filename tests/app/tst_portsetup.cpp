#include "app/portsetup.h"
#include "device/commportdriver.h"
#include "device/portindexstore.h"
#include "support/portfolder.h"
#include "support/scripteddialogs.h"

#include <QSettings>
#include <QTest>
#include <cerrno>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::PortFolder;
using kavro::test::ScriptedDialogs;

namespace {
const QString NoFile = PortFolder::NoFile;
const QString Title = u"КАВРО-02"_s;
// The questions end with the system's reason why the port did not open.
const QString NoSuchDevice = qt_error_string(ENOENT);
const QString CannotOpen
    = u"Невозможно открыть COM-порт\rВыбрать другой COM-порт?\r"_s + NoSuchDevice;
const QString FailedToConnect
    = u"Ошибка при подключении к COM-порту\rВыбрать другой COM-порт?\r"_s + NoSuchDevice;
} // namespace

class tst_PortSetup : public QObject
{
    Q_OBJECT

private:
    PortFolder ports_;

    static void VerifyQuestions(const ScriptedDialogs &dialogs, const QStringList &texts)
    {
        QCOMPARE(dialogs.messages.size(), texts.size());
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(dialogs.messages[i].title, Title);
            QCOMPARE(dialogs.messages[i].text, texts[i]);
            QCOMPARE(dialogs.messages[i].icon, UserDialogs::Icon::Question);
            QCOMPARE(dialogs.messages[i].buttons, UserDialogs::Yes | UserDialogs::No);
        }
    }

    static void AddColumns()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QList<int>>("portAnswers");
        QTest::addColumn<QList<int>>("preselected");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QVariant>("storedAfter");
        QTest::addColumn<QString>("openPty");
    }

    // Writes the settings of a row of AddColumns' table and scripts its answers.
    void StartRow(ScriptedDialogs &dialogs) const
    {
        QFETCH(QString, settings);
        QFETCH(QList<int>, answers);
        QFETCH(QList<int>, portAnswers);
        ports_.WriteSettings(settings);
        for (int answer : answers)
            dialogs.answers.append(UserDialogs::Button(answer));
        dialogs.portAnswers = portAnswers;
    }

    // The row's port left open, port choices and questions shown, index stored.
    void VerifyRow(const ScriptedDialogs &dialogs) const
    {
        QFETCH(QList<int>, preselected);
        QFETCH(QStringList, questions);
        QFETCH(QVariant, storedAfter);
        QFETCH(QString, openPty);
        QCOMPARE(ports_.OpenPty(), openPty);
        QCOMPARE(dialogs.portChoicesShownWith, preselected);
        VerifyQuestions(dialogs, questions);
        QCOMPARE(ports_.StoredIndex(), storedAfter);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(ports_.IsValid()); }

    void store_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<int>("index"); // -100: nothing stored

        QTest::newRow("no file") << NoFile << false << -100;
        QTest::newRow("file without COM") << u"[Ports]\nCOM1=/dev/x\n"_s << true << -100;
        QTest::newRow("COM=2") << u"COM=2\n"_s << true << 2;
        QTest::newRow("COM=7") << u"COM=7\n"_s << true << 7;
        QTest::newRow("not a number") << u"COM=abc\n"_s << true << -1;
    }

    void store()
    {
        QFETCH(QString, settings);
        QFETCH(bool, keyExists);
        QFETCH(int, index);
        ports_.WriteSettings(settings);

        PortIndexStore store(ports_.Path());
        QCOMPARE(store.KeyExists(), keyExists);
        QCOMPARE(store.ReadIndex().value_or(-100), index);

        store.WriteIndex(3);
        QCOMPARE(store.ReadIndex(), std::optional<int>(3));
        if (settings.contains(u"[Ports]"_s))
            QCOMPARE(QSettings(ports_.IniPath(), QSettings::IniFormat).value(u"Ports/COM1"_s),
                QVariant(u"/dev/x"_s));
    }

    void openInstrumentPort_data()
    {
        AddColumns();
        QTest::addColumn<bool>("opened");

        QTest::newRow("remembered port opens")
            << u"COM=1\n[Ports]\nCOM2=%A\n"_s << QList<int> {} << QList<int> {} << QList<int> {}
            << QStringList {} << QVariant(1) << u"A"_s << true;
        QTest::newRow("retried until a port opens")
            << u"COM=1\n[Ports]\nCOM2=/nonexistent/2\nCOM3=/nonexistent/3\nCOM4=%B\n"_s
            << QList<int> { UserDialogs::Yes, UserDialogs::Yes } << QList<int> { 2, 3 }
            << QList<int> { 1, 2 } << QStringList { CannotOpen, CannotOpen } << QVariant(3)
            << u"B"_s << true;
        QTest::newRow("stored index out of range")
            << u"COM=9\n[Ports]\nCOM1=%A\n"_s << QList<int> { UserDialogs::Yes } << QList<int> { 0 }
            << QList<int> { -1 } << QStringList { CannotOpen } << QVariant(0) << u"A"_s << true;
        QTest::newRow("stored value not a number")
            << u"COM=abc\n[Ports]\nCOM1=%A\n"_s << QList<int> { UserDialogs::No } << QList<int> {}
            << QList<int> {} << QStringList { CannotOpen } << QVariant(u"abc"_s) << QString()
            << false;
        QTest::newRow("user gives up")
            << u"COM=0\n[Ports]\nCOM1=/nonexistent/1\n"_s << QList<int> { UserDialogs::No }
            << QList<int> {} << QList<int> {} << QStringList { CannotOpen } << QVariant(0)
            << QString() << false;
        QTest::newRow("dialog left without a selection")
            << u"COM=0\n[Ports]\nCOM1=/nonexistent/1\nCOM2=%A\n"_s
            << QList<int> { UserDialogs::Yes, UserDialogs::No } << QList<int> { -1 }
            << QList<int> { 0 } << QStringList { CannotOpen, CannotOpen } << QVariant(-1)
            << QString() << false;
    }

    void openInstrumentPort()
    {
        QFETCH(bool, opened);
        ScriptedDialogs dialogs;
        StartRow(dialogs);
        TCommPortDriver port;
        PortIndexStore store(ports_.Path());

        QCOMPARE(PortSetup(port, store, dialogs).OpenInstrumentPort(nullptr), opened);

        QCOMPARE(port.IsConnected(), opened);
        VerifyRow(dialogs);
    }

    void chooseAnotherPort_data()
    {
        AddColumns();

        QTest::newRow("no key: COM1 stored, port kept")
            << NoFile << QList<int> {} << QList<int> {} << QList<int> {} << QStringList {}
            << QVariant(0) << u"A"_s;
        QTest::newRow("no COM value: COM1 stored, port kept")
            << u"[Ports]\nCOM2=%B\n"_s << QList<int> {} << QList<int> {} << QList<int> {}
            << QStringList {} << QVariant(0) << u"A"_s;
        QTest::newRow("old port closed, new one opened")
            << u"COM=0\n[Ports]\nCOM2=%B\n"_s << QList<int> {} << QList<int> { 1 }
            << QList<int> { 0 } << QStringList {} << QVariant(1) << u"B"_s;
        QTest::newRow("retry keeps the last selection")
            << u"COM=0\n[Ports]\nCOM2=/nonexistent/2\nCOM3=%B\n"_s
            << QList<int> { UserDialogs::Yes } << QList<int> { 1, 2 } << QList<int> { 0, 1 }
            << QStringList { FailedToConnect } << QVariant(2) << u"B"_s;
        QTest::newRow("giving up leaves the port closed")
            << u"COM=0\n[Ports]\nCOM2=/nonexistent/2\n"_s << QList<int> { UserDialogs::No }
            << QList<int> { 1 } << QList<int> { 0 } << QStringList { FailedToConnect }
            << QVariant(1) << QString();
        QTest::newRow("stored index out of range: nothing preselected")
            << u"COM=4\n[Ports]\nCOM4=%B\n"_s << QList<int> {} << QList<int> { 3 }
            << QList<int> { -1 } << QStringList {} << QVariant(3) << u"B"_s;
    }

    void chooseAnotherPort()
    {
        QFETCH(QString, openPty);
        ScriptedDialogs dialogs;
        StartRow(dialogs);
        TCommPortDriver port;
        port.SetPortName(ports_.ptyA.SlavePath());
        QVERIFY(port.Connect());
        PortIndexStore store(ports_.Path());

        PortSetup(port, store, dialogs).ChooseAnotherPort(nullptr);

        QCOMPARE(port.IsConnected(), !openPty.isEmpty());
        VerifyRow(dialogs);
    }
};

QTEST_GUILESS_MAIN(tst_PortSetup)
#include "tst_portsetup.moc"
