#include "app/programhost.h"
#include "app/programstart.h"
#include "support/portfolder.h"
#include "support/scripteddialogs.h"
#include "ui/comselectform.h"
#include "ui/mainform.h"
#include "ui/qtuserdialogs.h"
#include "ui/splashform.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <cerrno>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::FakeEnvironment;
using kavro::test::PortFolder;
using kavro::test::ScriptedDialogs;

namespace {
const QString NoFile = PortFolder::NoFile;
const QString Title = u"КАВРО-02"_s;
const QString CannotOpen // with the system's reason why the port did not open
    = u"Невозможно открыть COM-порт\rВыбрать другой COM-порт?\r"_s + qt_error_string(ENOENT);
const QString StartFailed = u"Ошибка при подключении к СОМ-порту."_s; // "СОМ" in Cyrillic
const QString NotResponding = u"Прибор не отвечает. Выбрать другой COM-порт?\r"_s;
const UserDialogs::Buttons YesNo = UserDialogs::Yes | UserDialogs::No;

struct Box
{
    QString text;
    UserDialogs::Icon icon;
    UserDialogs::Buttons buttons;
    bool operator==(const Box &) const = default;
};

QList<Box> Boxes(const ScriptedDialogs &dialogs)
{
    QList<Box> boxes;
    for (const auto &shown : dialogs.messages) {
        if (shown.title != Title)
            boxes.append({ u"wrong title: "_s + shown.title, shown.icon, shown.buttons });
        else
            boxes.append({ shown.text, shown.icon, shown.buttons });
    }
    return boxes;
}

TSplashForm *ShownSplash()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *splash = qobject_cast<TSplashForm *>(widget); splash && splash->isVisible())
            return splash;
    return nullptr;
}

QString SaveScreen(QWidget &widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
    const QString path = QStringLiteral(KAVRO_SCREENS_DIR) + u'/' + name;
    widget.grab().save(path);
    return path;
}
} // namespace

namespace QTest {
template<>
char *toString(const Box &box)
{
    return qstrdup(QStringLiteral("%1 (icon %2, buttons %3)")
                       .arg(box.text)
                       .arg(int(box.icon))
                       .arg(box.buttons)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

Q_DECLARE_METATYPE(Box)

class tst_Startup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PortFolder> ports_;

    // Runs the start sequence; whileShown runs in the splash's modal loop,
    // after its show handler. With the port open the splash is then closed
    // as the receiver would close it.
    static bool RunStart(ProgramStart &start, std::function<void(TSplashForm &)> whileShown = {})
    {
        QTimer::singleShot(0, [&start, whileShown] {
            TSplashForm *splash = ShownSplash();
            QVERIFY(splash);
            if (whileShown)
                whileShown(*splash);
            if (start.Host()->PortOpen())
                start.Host()->CloseSplash();
        });
        return start.Run();
    }

private Q_SLOTS:
    void init()
    {
        ports_ = std::make_unique<PortFolder>();
        QVERIFY(ports_->IsValid());
    }

    void startSequence_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("mappedAtDialog"); // Ports entry written while the dialog is open
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QList<int>>("portAnswers");
        QTest::addColumn<QList<int>>("preselected");
        QTest::addColumn<QList<Box>>("boxes");
        QTest::addColumn<QVariant>("storedAfter");
        QTest::addColumn<QString>("openPty");
        QTest::addColumn<bool>("runs"); // the start sequence goes on to the event loop

        const Box cannotOpen { CannotOpen, UserDialogs::Icon::Question, YesNo };
        const Box startFailed { StartFailed, UserDialogs::Icon::Error, UserDialogs::Ok };

        QTest::newRow("first start: dialog with COM1, choice stored")
            << NoFile << u"COM3"_s << QList<int> {} << QList<int> { 2 } << QList<int> { 0 }
            << QList<Box> {} << QVariant(2) << u"A"_s << true;
        QTest::newRow("settings without COM: COM1 without a dialog")
            << u"[Ports]\nCOM1=%A\nCOM2=%B\n"_s << QString() << QList<int> {} << QList<int> {}
            << QList<int> {} << QList<Box> {} << QVariant(0) << u"A"_s << true;
        QTest::newRow("COM=2: COM3 without a dialog")
            << u"COM=2\n[Ports]\nCOM1=%B\nCOM3=%A\n"_s << QString() << QList<int> {}
            << QList<int> {} << QList<int> {} << QList<Box> {} << QVariant(2) << u"A"_s << true;
        QTest::newRow("remembered port fails, Yes: dialog and retry")
            << u"COM=1\n[Ports]\nCOM1=%A\nCOM2=/nonexistent/2\n"_s << QString()
            << QList<int> { UserDialogs::Yes } << QList<int> { 0 } << QList<int> { 1 }
            << QList<Box> { cannotOpen } << QVariant(0) << u"A"_s << true;
        QTest::newRow("remembered port fails, No: failure and end")
            << u"COM=1\n[Ports]\nCOM1=%A\nCOM2=/nonexistent/2\n"_s << QString()
            << QList<int> { UserDialogs::No } << QList<int> {} << QList<int> {}
            << QList<Box> { cannotOpen, startFailed } << QVariant(1) << QString() << false;
        QTest::newRow("COM out of range: no port, failure and end")
            << u"COM=7\n[Ports]\nCOM1=%A\nCOM2=%B\n"_s << QString()
            << QList<int> { UserDialogs::No } << QList<int> {} << QList<int> {}
            << QList<Box> { cannotOpen, startFailed } << QVariant(7) << QString() << false;
    }

    void startSequence()
    {
        QFETCH(QString, settings);
        QFETCH(QString, mappedAtDialog);
        QFETCH(QList<int>, answers);
        QFETCH(QList<int>, portAnswers);
        QFETCH(QList<int>, preselected);
        QFETCH(QList<Box>, boxes);
        QFETCH(QVariant, storedAfter);
        QFETCH(QString, openPty);
        QFETCH(bool, runs);
        ports_->WriteSettings(settings);
        ScriptedDialogs dialogs;
        for (int answer : answers)
            dialogs.answers.append(UserDialogs::Button(answer));
        dialogs.portAnswers = portAnswers;
        if (!mappedAtDialog.isEmpty())
            dialogs.onPortChoice = [&](int) {
                // Only the device path is prepared; the index is the program's to write.
                QSettings(ports_->IniPath(), QSettings::IniFormat)
                    .setValue(u"Ports/"_s + mappedAtDialog, ports_->ptyA.SlavePath());
            };
        FakeEnvironment environment(ports_->Path());
        ProgramStart start(environment, dialogs, { .dropPeriodMs = 50, .questionPeriodMs = 60000 });
        bool newCarEnabledWhileShown = false;
        QString openWhileShown;
        const TSplashForm *splash = nullptr;

        const bool ran = RunStart(start, [&](TSplashForm &shown) {
            splash = &shown;
            newCarEnabledWhileShown = start.MainForm()->actNewCar->isEnabled();
            openWhileShown = ports_->OpenPty();
        });

        QCOMPARE(ran, runs);
        QCOMPARE(start.Host()->PortOpen(), runs);
        QCOMPARE(openWhileShown, openPty);
        QCOMPARE(newCarEnabledWhileShown, runs);
        QCOMPARE(dialogs.portChoicesShownWith, preselected);
        QCOMPARE(Boxes(dialogs), boxes);
        QCOMPARE(ports_->StoredIndex(), storedAfter);
        // Above the splash, which stays on top.
        QCOMPARE(
            dialogs.parents, QList<const QWidget *>(boxes.size() + preselected.size(), splash));
        // A failed start ends the program through the main window, never shown.
        QCOMPARE(environment.endCalls, runs ? 0 : 1);
        QCOMPARE(start.MainForm()->isVisible(), false);
    }

    void splash()
    {
        ports_->WriteSettings(u"COM=0\n[Ports]\nCOM1=%A\n"_s);
        ScriptedDialogs dialogs;
        FakeEnvironment environment(ports_->Path());
        ProgramStart start(environment, dialogs);

        RunStart(start, [&](TSplashForm &splash) {
            QCOMPARE(splash.size(), QSize(375, 321));
            QVERIFY(
                splash.windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
            QVERIFY(splash.isModal());
            const QRect screen = splash.screen()->availableGeometry();
            QVERIFY((splash.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
            QCOMPARE(splash.palette().color(QPalette::Window), QColor(34, 37, 172));

            QCOMPARE(splash.Panel1->text(), u"КАВРО-02"_s);
            QCOMPARE(splash.Panel1->geometry(), QRect(0, 0, 375, 281));
            QCOMPARE(splash.Panel1->palette().color(QPalette::WindowText), QColor(255, 251, 240));
            QCOMPARE(splash.Panel1->font().pixelSize(), 64);
            QCOMPARE(splash.Panel1->font().families().value(0), u"Tahoma"_s);
            QCOMPARE(splash.Panel2->text(), u"Выполняется соединение с прибором"_s);
            QCOMPARE(splash.Panel2->geometry(), QRect(0, 281, 375, 40));
            QCOMPARE(splash.Panel2->palette().color(QPalette::Window), QColor(Qt::black));
            QCOMPARE(splash.Panel2->palette().color(QPalette::WindowText),
                splash.palette().color(QPalette::Base));
            QCOMPARE(splash.Panel2->font().pixelSize(), 21);
            QCOMPARE(splash.Panel2->alignment(), Qt::AlignCenter);
            // The title must fit the splash in whatever font stands in for Tahoma.
            QVERIFY(splash.Panel1->sizeHint().width() <= 375);
            SaveScreen(splash, u"splash.png"_s);

            // Shown: both timers run, received bytes are dropped.
            QCOMPARE(splash.Timer1.interval(), 2000);
            QVERIFY(splash.Timer1.isSingleShot() && splash.Timer1.isActive());
            QCOMPARE(splash.Timer2.interval(), 15000);
            QVERIFY(!splash.Timer2.isSingleShot() && splash.Timer2.isActive());
            QVERIFY(!splash.TimerFired());
            QVERIFY(!start.MainForm()->COM1->HasOnReceiveData());

            // Escape does not close it; only the program does.
            QTest::keyClick(&splash, Qt::Key_Escape);
            QVERIFY(splash.isVisible());

            // Two seconds on: the receiver gets the bytes, the main window shows.
            splash.Timer1Timer();
            QVERIFY(splash.TimerFired());
            QVERIFY(!splash.Timer1.isActive());
            QVERIFY(start.MainForm()->COM1->HasOnReceiveData());
            QVERIFY(start.MainForm()->isVisible());
            QVERIFY(splash.isVisible());
        });

        QVERIFY(!ShownSplash());
        QVERIFY(!start.Host()->SplashExists());
        QVERIFY(start.MainForm()->isVisible());
        QCOMPARE(environment.endCalls, 0);
    }

    void splashQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("preselected");
        QTest::addColumn<QString>("openPty");

        QTest::newRow("No: asked again later") << int(UserDialogs::No) << QList<int> {} << u"A"_s;
        QTest::newRow("Yes: the port command")
            << int(UserDialogs::Yes) << QList<int> { 0 } << u"B"_s;
    }

    void splashQuestion()
    {
        QFETCH(int, answer);
        QFETCH(QList<int>, preselected);
        QFETCH(QString, openPty);
        ports_->WriteSettings(u"COM=0\n[Ports]\nCOM1=%A\nCOM2=%B\n"_s);
        ScriptedDialogs dialogs;
        dialogs.answers = { UserDialogs::Button(answer) };
        dialogs.portAnswers = { 1 };
        FakeEnvironment environment(ports_->Path());
        ProgramStart start(environment, dialogs);

        RunStart(start, [&](TSplashForm &splash) {
            splash.Timer2Timer();
            QCOMPARE(Boxes(dialogs),
                (QList<Box> { { NotResponding, UserDialogs::Icon::Question, YesNo } }));
            QCOMPARE(dialogs.portChoicesShownWith, preselected);
            QCOMPARE(dialogs.parents, QList<const QWidget *>(1 + preselected.size(), &splash));
            QCOMPARE(ports_->OpenPty(), openPty);
            QVERIFY(splash.Timer2.isActive());
        });
    }

    void splashQuestionRepeats()
    {
        ports_->WriteSettings(u"COM=0\n[Ports]\nCOM1=%A\n"_s);
        ScriptedDialogs dialogs;
        FakeEnvironment environment(ports_->Path());
        ProgramStart start(environment, dialogs, { .dropPeriodMs = 60000, .questionPeriodMs = 20 });

        RunStart(start, [&](TSplashForm &) { QTRY_VERIFY(dialogs.messages.size() >= 3); });

        QCOMPARE(dialogs.messages.last().text, NotResponding);
        // Closing the splash stops the question.
        const auto asked = dialogs.messages.size();
        QTest::qWait(100);
        QCOMPARE(dialogs.messages.size(), asked);
    }

    void bytesOfFirstSecondsDropped()
    {
        ports_->WriteSettings(u"COM=0\n[Ports]\nCOM1=%A\n"_s);
        ScriptedDialogs dialogs;
        FakeEnvironment environment(ports_->Path());
        ProgramStart start(
            environment, dialogs, { .dropPeriodMs = 400, .questionPeriodMs = 60000 });
        // Two readings: seen by the receiver they would start the stream.
        ports_->ptyA.Send(QByteArray::fromHex("e02a1305e1201000"));
        // Then two countdown words (261, 260) and the low byte of the next.
        QTimer::singleShot(700, [&] { ports_->ptyA.Send(QByteArray::fromHex("0501040103")); });

        QVERIFY(start.Run()); // the countdown closes the splash

        QVERIFY(!ports_->ptyA.received.contains(char(0xD2)));
        QCOMPARE(start.Receiver().ReceiverState, rsCountdown);
        QCOMPARE(
            QByteArray(reinterpret_cast<const char *>(start.Receiver().InstrumentImage.data()), 4),
            QByteArray::fromHex("05010401"));
        QVERIFY(start.MainForm()->isVisible());
        QVERIFY(
            start.MainForm()->ServiceWindow() && start.MainForm()->ServiceWindow()->isVisible());
        QVERIFY(!start.Host()->SplashExists());
    }

    void comSelectForm()
    {
        TCOMSelectForm form;
        QCOMPARE(form.windowTitle(), u"Выбор COM-порта"_s);
        QCOMPARE(form.size(), QSize(274, 102));
        QVERIFY(form.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QCOMPARE(form.RadioGroup1->title(), u" Укажите COM-порт, к которому подключен прибор "_s);
        QCOMPARE(form.Button1->text(), u"ОК"_s);
        const auto items = form.RadioGroup1->findChildren<QRadioButton *>();
        QCOMPARE(items.size(), 4);

        form.SetItemIndex(0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Centred on the screen, give or take the width of the window frame.
        QVERIFY((form.frameGeometry().center() - form.screen()->availableGeometry().center())
                    .manhattanLength()
            <= 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(items[i]->text(), u"COM%1"_s.arg(i + 1));
            // Four columns in one row, inside the group and the window.
            QCOMPARE(items[i]->y(), items[0]->y());
            if (i > 0)
                QVERIFY(items[i]->x() >= items[i - 1]->geometry().right());
            QVERIFY(form.RadioGroup1->contentsRect().contains(items[i]->geometry()));
        }
        QVERIFY(form.rect().contains(form.RadioGroup1->geometry()));
        // The whole title is shown.
        QVERIFY(form.RadioGroup1->fontMetrics().horizontalAdvance(form.RadioGroup1->title()) + 16
            <= form.RadioGroup1->width());
        QVERIFY(form.rect().contains(form.Button1->geometry()));
        QVERIFY(!form.RadioGroup1->geometry().intersects(form.Button1->geometry()));
        SaveScreen(form, u"comselect.png"_s);

        QCOMPARE(form.ItemIndex(), 0);
        QTest::mouseClick(items[2], Qt::LeftButton);
        QCOMPARE(form.ItemIndex(), 2);
        form.SetItemIndex(-1);
        QCOMPARE(form.ItemIndex(), -1);
        form.SetItemIndex(9);
        QCOMPARE(form.ItemIndex(), -1);
        QTest::mouseClick(items[3], Qt::LeftButton);
        QCOMPARE(form.ItemIndex(), 3);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
    }

    void messageBoxes_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("click");
        QTest::addColumn<int>("expectedIcon");
        QTest::addColumn<int>("expectedButtons");
        QTest::addColumn<int>("result");

        QTest::newRow("question, No")
            << int(UserDialogs::Icon::Question) << int(YesNo) << int(QMessageBox::No)
            << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No)
            << int(UserDialogs::No);
        QTest::newRow("question, Yes")
            << int(UserDialogs::Icon::Question) << int(YesNo) << int(QMessageBox::Yes)
            << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No)
            << int(UserDialogs::Yes);
        QTest::newRow("error, OK")
            << int(UserDialogs::Icon::Error) << int(UserDialogs::Ok) << int(QMessageBox::Ok)
            << int(QMessageBox::Critical) << int(QMessageBox::Ok) << int(UserDialogs::Ok);
        QTest::newRow("warning, OK")
            << int(UserDialogs::Icon::Warning) << int(UserDialogs::Ok) << int(QMessageBox::Ok)
            << int(QMessageBox::Warning) << int(QMessageBox::Ok) << int(UserDialogs::Ok);
    }

    // The program's texts separate lines with a lone "\r"; the box shows
    // them on separate lines with any style.
    void messageBoxes()
    {
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, click);
        QFETCH(int, expectedIcon);
        QFETCH(int, expectedButtons);
        QFETCH(int, result);
        const QString text = u"Потеряно соединение с прибором.\r"
                             u"Включите прибор и запустите приложение еще раз"_s;
        QString title;
        int shownIcon = -1;
        int shownButtons = -1;
        QStringList buttonTexts;
        QString shownText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            shownIcon = box->icon();
            shownButtons = box->standardButtons();
            for (QAbstractButton *button : box->buttons())
                buttonTexts << button->text();
            if (auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s))
                shownText = label->text();
            box->button(QMessageBox::StandardButton(click))->click();
        });

        QtUserDialogs dialogs;
        QCOMPARE(
            int(dialogs.Message(nullptr, Title, text, UserDialogs::Icon(icon), buttons)), result);
        QCOMPARE(title, Title);
        QCOMPARE(shownIcon, expectedIcon);
        QCOMPARE(shownButtons, expectedButtons);
        // Russian on the buttons whatever Qt's own texts are.
        for (const QString &buttonText : std::as_const(buttonTexts))
            QVERIFY2(QStringList({ u"OK"_s, u"Да"_s, u"Нет"_s, u"Отмена"_s }).contains(buttonText),
                qPrintable(buttonText));
        QCOMPARE(buttonTexts.size(), qsizetype(qPopulationCount(uint(expectedButtons))));
        QCOMPARE(shownText,
            u"Потеряно соединение с прибором.\n"
            u"Включите прибор и запустите приложение еще раз"_s);
    }

    // The operator sees why the port did not open below the question.
    void portQuestionShowsTheReason()
    {
        ports_->WriteSettings(u"COM=1\n[Ports]\nCOM2=/dev/null\n"_s);
        QString shownText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s))
                shownText = label->text();
            SaveScreen(*box, u"port-question.png"_s);
            box->button(QMessageBox::No)->click();
        });

        QtUserDialogs dialogs;
        TCommPortDriver port;
        PortIndexStore store(ports_->Path());
        QVERIFY(!PortSetup(port, store, dialogs).OpenInstrumentPort(nullptr));
        QCOMPARE(shownText,
            u"Невозможно открыть COM-порт\nВыбрать другой COM-порт?\n"_s + qt_error_string(ENOTTY));
    }

    void portDialog_data()
    {
        QTest::addColumn<int>("preselected");
        QTest::addColumn<int>("clickItem"); // -1: none
        QTest::addColumn<bool>("viaOk");
        QTest::addColumn<int>("result");

        QTest::newRow("COM1 shown, COM4 chosen, OK") << 0 << 3 << true << 3;
        QTest::newRow("nothing shown, closed without a choice") << -1 << -1 << false << -1;
        QTest::newRow("COM2 shown, closed without OK keeps COM2") << 1 << -1 << false << 1;
    }

    void portDialog()
    {
        QFETCH(int, preselected);
        QFETCH(int, clickItem);
        QFETCH(bool, viaOk);
        QFETCH(int, result);
        int shownWith = -2;
        QTimer::singleShot(0, [&] {
            auto *form = qobject_cast<TCOMSelectForm *>(QApplication::activeModalWidget());
            QVERIFY(form);
            shownWith = form->ItemIndex();
            if (clickItem >= 0)
                QTest::mouseClick(
                    form->RadioGroup1->findChildren<QRadioButton *>()[clickItem], Qt::LeftButton);
            if (viaOk)
                QTest::mouseClick(form->Button1, Qt::LeftButton);
            else
                form->reject();
        });

        QtUserDialogs dialogs;
        QCOMPARE(dialogs.ChoosePort(nullptr, preselected), result);
        QCOMPARE(shownWith, preselected);
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
