#include "inspection/vehiclestore.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/editcarform.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace std::chrono_literals;

namespace {

using Dialogs = test::ScriptedDialogs;
const QString Title = u"КАВРО-02"_s;
const QString NotStored
    = u"Не удалось сохранить сведения об автомобиле в базе данных; автомобиль не зарегистрирован.\r"_s;

// The register's rows as "ID number region mark surname first patronymic category".
QStringList Rows(const QString &folder)
{
    VehicleStore reader(folder);
    QStringList rows;
    if (!reader.Open().Ok())
        return { u"<not open>"_s };
    for (const CarListEntry &entry : reader.AllNumbers().value) {
        const CarRow row = *reader.FindById(entry.ID).value;
        rows << QStringList { QString::number(row.ID), row.FederalNumber, row.Region, row.Mark,
            row.OwnerTName, row.OwnerFName, row.OwnerSName, QString::number(row.CarCategory) }
                    .join(u' ');
    }
    return rows;
}

const QStringList Seeded = {
    u"1 А111АА 77 ВАЗ Иванов Иван Иванович 32"_s,
    u"2 Д222ДД 123 ГАЗ Первый Пётр Петрович 37"_s,
    u"3 Д222ДД 50 ГАЗ Второй Павел Павлович 38"_s,
};

enum class Fault { ReadOnlyFile, NotSqlite, Locked, FullDisk, MissingTable, ServerDown };

} // namespace

class tst_EditCarForm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<VehicleStore> store_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<TEditCarForm> form_;
    QList<int> chooserShownWith_;
    QList<QWidget *> chooserParents_;
    std::optional<int> chosenCategory_;

    QString FilePath() const { return folder_->filePath(u"Cars.mdb"_s); }
    void Seed();
    void Fill(const QString &number, const QString &region, const QString &mark,
        const QString &surname, const QString &first, const QString &patronymic);
    void ChooseCategory(int code);
    QStringList Fields() const;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowDump();
    void pickingFillsFieldsAndCategory();
    void ready_data();
    void ready();
    void nextOpeningShowsWhatWasStored();
    void enterAndEscape();
    void regionKeys_data();
    void regionKeys();
    void databaseErrors_data();
    void databaseErrors();
};

void tst_EditCarForm::initTestCase()
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_EditCarForm::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    store_ = std::make_unique<VehicleStore>(folder_->path());
    dialogs_ = std::make_unique<Dialogs>();
    chooserShownWith_.clear();
    chooserParents_.clear();
    chosenCategory_.reset();
    form_ = std::make_unique<TEditCarForm>(*store_, *dialogs_, [this](QWidget *parent, int code) {
        chooserParents_ << parent;
        chooserShownWith_ << code;
        return chosenCategory_;
    });
}

void tst_EditCarForm::cleanup()
{
    form_.reset();
    store_.reset();
    QSqlDatabase::removeDatabase(u"other"_s);
    QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::WriteOwner);
}

void tst_EditCarForm::Seed()
{
    VehicleStore other(folder_->path());
    QVERIFY(other.Open().Ok());
    for (const QString &line : Seeded) {
        const QStringList c = line.split(u' ');
        QVERIFY(other.Append({ 0, c[1], c[2], c[3], c[4], c[5], c[6], c[7].toInt() }).Ok());
    }
}

void tst_EditCarForm::Fill(const QString &number, const QString &region, const QString &mark,
    const QString &surname, const QString &first, const QString &patronymic)
{
    form_->cbFederalNumber->setEditText(number);
    form_->edtRegion->setText(region);
    form_->cbMark->setEditText(mark);
    form_->edtTName->setText(surname);
    form_->edtFName->setText(first);
    form_->edtSName->setText(patronymic);
}

void tst_EditCarForm::ChooseCategory(int code)
{
    chosenCategory_ = code;
    form_->Button1->click();
    chosenCategory_.reset();
}

QStringList tst_EditCarForm::Fields() const
{
    return { form_->cbFederalNumber->currentText(), form_->edtRegion->text(),
        form_->cbMark->currentText(), form_->edtTName->text(), form_->edtFName->text(),
        form_->edtSName->text(), QString::number(form_->CategoryCode()) };
}

void tst_EditCarForm::windowDump()
{
    form_->show();
    QVERIFY(QFile::exists(FilePath())); // the first opening made the register
    QVERIFY(test::MatchesGolden(*form_, u"editcarform"_s));
    QCOMPARE(form_->windowFlags() & ~Qt::WindowType_Mask,
        Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QVERIFY(form_->isModal());
    QCOMPARE(form_->focusWidget(), form_->cbFederalNumber);
    QCOMPARE(dialogs_->messages.size(), 0);
}

void tst_EditCarForm::pickingFillsFieldsAndCategory()
{
    Seed();
    form_->show();
    QComboBox &numbers = *form_->cbFederalNumber;
    QCOMPARE(numbers.count(), 3);
    QCOMPARE(numbers.currentText(), QString());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(numbers.itemText(i) + u' ' + numbers.itemData(i).toString(),
            Seeded[i].section(u' ', 1, 1) + u' ' + Seeded[i].section(u' ', 0, 0));
    QStringList marks;
    for (int i = 0; i < form_->cbMark->count(); ++i)
        marks << form_->cbMark->itemText(i);
    marks.sort();
    QCOMPARE(marks, QStringList({ u"ВАЗ"_s, u"ГАЗ"_s }));

    // Typing a number picks nothing; the arrow keys pick list entries.
    QTest::keyClicks(&numbers, u"22"_s);
    QCOMPARE(Fields(), QStringList({ u"22"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"-1"_s }));
    QTest::keyClick(&numbers, Qt::Key_Down);
    QTest::keyClick(&numbers, Qt::Key_Down);
    QCOMPARE(Fields(),
        QStringList(
            { u"Д222ДД"_s, u"123"_s, u"ГАЗ"_s, u"Первый"_s, u"Пётр"_s, u"Петрович"_s, u"37"_s }));
    QVERIFY(form_->grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/editcarform-picked.png")));

    // The category dialog opens with the picked category; cancelling keeps it.
    form_->Button1->click();
    ChooseCategory(53);
    QCOMPARE(chooserShownWith_, QList<int>({ 37, 37 }));
    QCOMPARE(chooserParents_, QList<QWidget *>(2, form_.get()));
    QCOMPARE(form_->CategoryCode(), 53);

    // A row deleted meanwhile empties the fields.
    QVERIFY(QSqlQuery(QSqlDatabase::database(store_->ConnectionName()))
                .exec(u"DELETE FROM CAR WHERE ID = 1"_s));
    QTest::keyClick(&numbers, Qt::Key_Up);
    QCOMPARE(Fields(), QStringList({ u"А111АА"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"-1"_s }));
}

void tst_EditCarForm::ready_data()
{
    QTest::addColumn<QStringList>("fields"); // number, region, make, surname, first, patronymic
    QTest::addColumn<int>("category"); // -1: none chosen
    QTest::addColumn<QString>("message"); // the one message shown, if any
    QTest::addColumn<int>("answer"); // to the question
    QTest::addColumn<int>("result"); // -1: the dialog stays open
    QTest::addColumn<QStringList>("rows");

    const QStringList added = Seeded + QStringList { u"4 Н001НН 5 Нива Новиков   0"_s };
    const QString ask = u"Добавить информацию об автомобиле в базу данных?"_s;
    const QString fill = u"Заполните все поля"_s;
    constexpr int Open = -1;
    constexpr int Ok = QDialog::Accepted;
    const QStringList newCar { u"Н001НН"_s, u"5"_s, u"Нива"_s, u"Новиков"_s, u""_s, u""_s };

    QTest::newRow("all empty: like Отмена")
        << QStringList(6) << 32 << QString() << 0 << int(QDialog::Rejected) << Seeded;
    QTest::newRow("no surname") << QStringList { u"Н1"_s, u"5"_s, u"Нива"_s, u""_s, u"Ян"_s, u""_s }
                                << 32 << fill << 0 << Open << Seeded;
    QTest::newRow("no region") << QStringList { u"Н1"_s, u""_s, u"Нива"_s, u"Н"_s, u""_s, u""_s }
                               << 32 << fill << 0 << Open << Seeded;
    QTest::newRow("no category") << newCar << -1 << u"Выберите комплектацию автомобиля"_s << 0
                                 << Open << Seeded;
    for (const QString &region : { u"7a"_s, u"-5"_s, u" 77"_s, u"99999999999"_s })
        QTest::addRow("region %s", qPrintable(region))
            << QStringList { u"Н1"_s, region, u"Нива"_s, u"Н"_s, u""_s, u""_s } << 32
            << u"Регион «%1» — не целое число.\rВведите в поле «Регион:» только цифры, например 77."_s
                   .arg(region)
            << 0 << Open << Seeded;
    QTest::newRow("new, added") << newCar << 0 << ask << int(Dialogs::Yes) << Ok << added;
    QTest::newRow("new, not added") << newCar << 0 << ask << int(Dialogs::No) << Ok << Seeded;
    QTest::newRow("known: updated without asking")
        << QStringList { u"А111АА"_s, u"78"_s, u"Лада"_s, u"Иванова"_s, u"Ирина"_s, u""_s } << 36
        << QString() << 0 << Ok
        << QStringList { u"1 А111АА 78 Лада Иванова Ирина  36"_s, Seeded[1], Seeded[2] };
    QTest::newRow("duplicates: the first only")
        << QStringList { u"Д222ДД"_s, u"1"_s, u"ГАЗ"_s, u"Первый"_s, u""_s, u""_s } << 0
        << QString() << 0 << Ok
        << QStringList { u"2 Д222ДД 1 ГАЗ Первый   0"_s, Seeded[0], Seeded[2] };
}

void tst_EditCarForm::ready()
{
    QFETCH(QStringList, fields);
    QFETCH(int, category);
    QFETCH(QString, message);
    QFETCH(int, answer);
    QFETCH(int, result);
    QFETCH(QStringList, rows);
    Seed();
    form_->show();
    Fill(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    if (category >= 0)
        ChooseCategory(category);
    if (answer)
        dialogs_->answers << Dialogs::Button(answer);

    form_->BitBtn1->click();
    QStringList shown;
    for (const Dialogs::Shown &box : dialogs_->messages)
        shown << box.title + u": "_s + box.text;
    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList { Title + u": "_s + message });
    if (!message.isEmpty()) {
        const bool question = answer != 0;
        QCOMPARE(dialogs_->messages[0].icon,
            question ? Dialogs::Icon::Question : Dialogs::Icon::Warning);
        QCOMPARE(
            dialogs_->messages[0].buttons, question ? Dialogs::Yes | Dialogs::No : Dialogs::Ok);
    }
    QCOMPARE(form_->isVisible(), result == -1);
    if (result != -1)
        QCOMPARE(form_->result(), result);
    if (result == -1) // the fields are kept
        QCOMPARE(Fields(), fields + QStringList { QString::number(category) });
    rows.sort();
    QStringList stored = Rows(folder_->path());
    stored.sort();
    QCOMPARE(stored, rows);

    const VehicleRecord &vehicle = form_->Vehicle();
    const QStringList registered = { vehicle.FederalNumber, QString::number(vehicle.Region),
        vehicle.Mark, vehicle.OwnerTName, vehicle.OwnerFName, vehicle.OwnerSName,
        QString::number(vehicle.CarCategory) };
    if (result == QDialog::Accepted)
        QCOMPARE(registered, fields + QStringList { QString::number(category) });
    else
        QCOMPARE(vehicle.FederalNumber, QString());
}

void tst_EditCarForm::nextOpeningShowsWhatWasStored()
{
    Seed();
    form_->show();
    Fill(u"Е555ЕЕ"_s, u"5"_s, u"Москвич"_s, u"Егоров"_s, u""_s, u""_s);
    ChooseCategory(0);
    dialogs_->answers << Dialogs::Yes;
    form_->BitBtn1->click();
    form_->show();
    Fill(u"Ж666ЖЖ"_s, u"6"_s, u"Нива"_s, u"Жуков"_s, u""_s, u""_s);
    ChooseCategory(0);
    dialogs_->answers << Dialogs::No;
    form_->BitBtn1->click();

    form_->show();
    QCOMPARE(form_->cbFederalNumber->count(), 4);
    QCOMPARE(form_->cbFederalNumber->itemText(3), u"Е555ЕЕ"_s);
    QCOMPARE(form_->cbMark->findText(u"Москвич"_s) >= 0, true);
    QCOMPARE(form_->cbMark->findText(u"Нива"_s), -1);
    QCOMPARE(Fields(), QStringList({ u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"-1"_s }));
}

void tst_EditCarForm::enterAndEscape()
{
    Seed();
    form_->show();
    Fill(u"А111АА"_s, u"77"_s, u"ВАЗ"_s, u"Иванов"_s, u""_s, u""_s);
    ChooseCategory(32);
    QTest::keyClick(form_->edtSName, Qt::Key_Return);
    QCOMPARE(form_->result(), int(QDialog::Accepted));
    QVERIFY(!form_->isVisible());

    form_->show();
    Fill(u"А111АА"_s, u"77"_s, u"ВАЗ"_s, u"Иванов"_s, u""_s, u""_s);
    QTest::keyClick(form_->BitBtn1, Qt::Key_Escape);
    QCOMPARE(form_->result(), int(QDialog::Rejected));
    QVERIFY(!form_->isVisible());
    QCOMPARE(dialogs_->messages.size(), 0);
}

void tst_EditCarForm::regionKeys_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QList<Qt::Key>>("keys");
    QTest::addColumn<QString>("after");
    using K = QList<Qt::Key>;
    QTest::newRow("digits") << u""_s << K { Qt::Key_7, Qt::Key_8 } << u"78"_s;
    QTest::newRow("third digit refused") << u"78"_s << K { Qt::Key_9 } << u"78"_s;
    QTest::newRow("letters and signs refused")
        << u"1"_s << K { Qt::Key_A, Qt::Key_Minus, Qt::Key_Space, Qt::Key_Period } << u"1"_s;
    QTest::newRow("Backspace") << u"78"_s << K { Qt::Key_Backspace, Qt::Key_5 } << u"75"_s;
    QTest::newRow("Delete empties") << u"78"_s << K { Qt::Key_Home, Qt::Key_Delete } << u""_s;
    QTest::newRow("a longer stored region") << u"123"_s << K { Qt::Key_Backspace } << u"12"_s;
}

void tst_EditCarForm::regionKeys()
{
    QFETCH(QString, before);
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(QString, after);
    form_->show();
    form_->edtRegion->setText(before);
    for (Qt::Key key : keys)
        QTest::keyClick(form_->edtRegion, key);
    QCOMPARE(form_->edtRegion->text(), after);
}

void tst_EditCarForm::databaseErrors_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("atOpening"); // part of the message shown at the opening
    QTest::addColumn<QString>("atReady"); // start of the message after "Готово"
    const QString closed
        = u"Автомобиль не зарегистрирован: база данных автомобилей не открыта.\r"_s;
    QTest::newRow("read-only file") << Fault::ReadOnlyFile << QString()
                                    << NotStored + u"attempt to write a readonly database"_s;
    QTest::newRow("not SQLite") << Fault::NotSqlite << u"база данных Microsoft Access"_s
                                << closed + u"Файл «"_s;
    QTest::newRow("locked") << Fault::Locked << QString() << NotStored + u"database is locked"_s;
    QTest::newRow("disk full") << Fault::FullDisk << QString()
                               << NotStored + u"database or disk is full"_s;
    QTest::newRow("table missing")
        << Fault::MissingTable << QString() << NotStored + u"no such table: CAR"_s;
    QTest::newRow("server down") << Fault::ServerDown << u"failed: No such file or directory"_s
                                 << closed + u"Не удалось открыть базу данных автомобилей"_s;
}

void tst_EditCarForm::databaseErrors()
{
    QFETCH(Fault, fault);
    QFETCH(QString, atOpening);
    QFETCH(QString, atReady);
    Seed();
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
    other.setDatabaseName(FilePath());
    QVERIFY(other.open());
    if (fault == Fault::ReadOnlyFile)
        QVERIFY(QFile::setPermissions(FilePath(), QFile::ReadOwner));
    if (fault == Fault::NotSqlite) {
        other.close();
        QFile file(FilePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("\0\1\0\0Standard Jet DB\0", 20));
    }
    if (fault == Fault::ServerDown) {
        QSettings settings(folder_->filePath(u"KAVRO02.ini"_s), QSettings::IniFormat);
        settings.setValue(u"Database/Driver"_s, u"QPSQL"_s);
        settings.setValue(u"Database/HostName"_s, folder_->filePath(u"no-server"_s));
    }
    store_->SetBusyTimeout(200ms);
    form_->show();
    if (!atOpening.isEmpty()) {
        QTRY_COMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(dialogs_->messages[0].icon, Dialogs::Icon::Error);
        QVERIFY2(
            dialogs_->messages[0].text.contains(atOpening), qPrintable(dialogs_->messages[0].text));
        QCOMPARE(form_->cbFederalNumber->count(), 0);
        dialogs_->messages.clear();
    }
    if (fault == Fault::Locked)
        QVERIFY(QSqlQuery(other).exec(u"BEGIN IMMEDIATE"_s));
    if (fault == Fault::FullDisk) {
        QSqlQuery pragma(QSqlDatabase::database(store_->ConnectionName()));
        QVERIFY(pragma.exec(u"PRAGMA page_count"_s) && pragma.next());
        QVERIFY(pragma.exec(u"PRAGMA max_page_count = "_s + pragma.value(0).toString()));
    }
    if (fault == Fault::MissingTable)
        QVERIFY(QSqlQuery(other).exec(u"DROP TABLE CAR"_s));

    const QStringList fields { u"Н001НН"_s, u"5"_s, u"Нива"_s, QString(5000, u'Н'), u""_s, u""_s };
    Fill(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
    ChooseCategory(0);
    dialogs_->fallbackAnswer = Dialogs::Yes;
    form_->BitBtn1->click();

    const Dialogs::Shown &last = dialogs_->messages.last();
    QVERIFY2(last.text.startsWith(atReady), qPrintable(last.text));
    QCOMPARE(last.icon, Dialogs::Icon::Error);
    QCOMPARE(last.title, Title);
    QVERIFY(form_->isVisible());
    QCOMPARE(Fields(), fields + QStringList { u"0"_s });
    QCOMPARE(form_->Vehicle().FederalNumber, QString());
    if (fault == Fault::Locked) // nothing waits once the other program is done
        QVERIFY(QSqlQuery(other).exec(u"COMMIT"_s));
    if (fault != Fault::NotSqlite && fault != Fault::ServerDown && fault != Fault::MissingTable)
        QCOMPARE(Rows(folder_->path()), Seeded);
}

QTEST_MAIN(tst_EditCarForm)
#include "tst_editcarform.moc"
