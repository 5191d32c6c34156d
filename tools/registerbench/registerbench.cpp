// registerbench [--rows N] [--folder DIR]: opens the vehicle dialog on a
// register of N vehicles (100,000 by default) and prints how long the opening
// takes, step by step, and what the operator's next actions cost: opening the
// number list, typing into the number field, picking the last vehicle and
// storing it again.
//
// Without --folder the register is a fresh Cars.mdb in a temporary program
// folder, filled first. With --folder DIR the program folder DIR is used as it
// is (its KAVRO02.ini may name a PostgreSQL server), filled up to N rows.

#include "inspection/vehiclestore.h"
#include "platform/userdialogs.h"
#include "ui/editcarform.h"

#include "benchtiming.h"
#include "platenumbers.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace kavro::bench;

namespace {

// Answers every question with "Yes" and prints every message.
class AnsweringDialogs : public UserDialogs
{
public:
    Button Message(QWidget *, const QString &, const QString &text, Icon, Buttons buttons) override
    {
        if (!(buttons & Yes))
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return (buttons & Yes) ? Yes : Ok;
    }
    int ChoosePort(QWidget *, int index) override { return index; }
    int ExecModal(QDialog &dialog) override { return dialog.exec(); }
    QString ChooseSaveFileName(QWidget *, const SaveFileRequest &) override { return {}; }
    bool ChoosePrinter(QWidget *, QPrinter &) override { return false; }
};

bool Fill(VehicleStore &store, int rows)
{
    const int present = int(store.AllNumbers().value.size());
    if (present >= rows)
        return true;
    static const QStringList Marks = { u"ВАЗ-2107"_s, u"ВАЗ-2110"_s, u"Лада Гранта"_s,
        u"ГАЗ-3110"_s, u"ГАЗель"_s, u"УАЗ-469"_s, u"Москвич-2141"_s, u"КамАЗ-5320"_s, u"ЗИЛ-130"_s,
        u"Ford Focus"_s, u"Toyota Corolla"_s, u"Hyundai Solaris"_s, u"Kia Rio"_s,
        u"Renault Logan"_s, u"Volkswagen Polo"_s, u"Skoda Octavia"_s };
    static const QStringList Surnames = { u"Иванов"_s, u"Петров"_s, u"Сидоров"_s, u"Кузнецов"_s,
        u"Смирнов"_s, u"Попов"_s, u"Соколов"_s, u"Лебедев"_s };
    QSqlDatabase database = QSqlDatabase::database(store.ConnectionName());
    QRandomGenerator random(2026);
    database.transaction();
    QSqlQuery insert(database);
    insert.prepare(u"INSERT INTO CAR (FederalNumber, Region, Mark, OwnerTName, OwnerFName, "
                   u"OwnerSName, CarCategory) VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    for (int row = present; row < rows; ++row) {
        insert.addBindValue(PlateNumber(random));
        insert.addBindValue(QString::number(random.bounded(1, 200)));
        insert.addBindValue(Marks.at(random.bounded(Marks.size())));
        insert.addBindValue(Surnames.at(random.bounded(Surnames.size())));
        insert.addBindValue(u"Иван"_s);
        insert.addBindValue(u"Иванович"_s);
        insert.addBindValue(32 + random.bounded(3));
        if (!insert.exec()) {
            std::fprintf(stderr, "filling: %s\n", qPrintable(insert.lastError().text()));
            database.rollback();
            return false;
        }
    }
    return database.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes on popups ("does not support raise()")
    // would drown the figures; the register's errors are printed here.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "default.warning=false");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ u"rows"_s, u"Vehicles in the register (100000)."_s, u"N"_s, u"100000"_s });
    parser.addOption({ u"folder"_s, u"Program folder to use as it is."_s, u"DIR"_s });
    parser.process(application);
    const int rows = parser.value(u"rows"_s).toInt();

    QTemporaryDir temporary;
    const QString folder = parser.isSet(u"folder"_s) ? parser.value(u"folder"_s) : temporary.path();
    VehicleStore store(folder);
    QElapsedTimer filling;
    filling.start();
    if (const StoreStatus opened = store.Open(); !opened.Ok() || !Fill(store, rows)) {
        std::fprintf(stderr, "register not ready: %s\n", qPrintable(opened.error));
        return 1;
    }
    const qsizetype count = store.AllNumbers().value.size();
    std::printf("register: %s, %lld vehicles (filled in %.1f s)\n",
        qPrintable(store.Connection().Description()), static_cast<long long>(count),
        double(filling.elapsed()) / 1000);

    AnsweringDialogs dialogs;
    TEditCarForm form(store, dialogs, [](QWidget *, int code) { return code; });
    PrintTimingHeading();
    std::printf("opening the dialog, step by step:\n");
    PrintTiming("reopen the register (FormShow step 1)", Measure([&] { store.Open(); }));
    PrintTiming(
        "SELECT ID, FederalNumber FROM CAR ORDER BY ID", Measure([&] { store.AllNumbers(); }));
    PrintTiming("SELECT DISTINCT Mark FROM CAR", Measure([&] { store.DistinctMarks(); }));
    PrintTiming(
        "whole FormShow (both lists into the combo boxes)", Measure([&] { form.FormShow(); }));
    std::printf("opening as the operator sees it:\n");
    PrintTiming("show() until the dialog is painted", Measure([&] {
        form.show();
        QApplication::processEvents();
        form.repaint();
        form.hide();
    }));
    std::printf("then:\n");
    form.show();
    QApplication::setActiveWindow(&form); // the completer works in a focused field only
    QApplication::processEvents();
    QComboBox &numbers = *form.cbFederalNumber;
    PrintTiming("open the number list", Measure([&] {
        numbers.showPopup();
        QApplication::processEvents();
        numbers.hidePopup();
    }));
    // The completer looks through the list: a letter that begins many numbers,
    // and one that begins none (the whole list is searched).
    for (const auto &[what, letter] :
        { std::pair("type \"А\" into the number field (completion)", u"А"_s),
            std::pair("type \"Я\" (no number begins so: full search)", u"Я"_s) })
        PrintTiming(what,
            Measure(
                [&, letter = letter] {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, letter);
                    QApplication::sendEvent(numbers.lineEdit(), &press);
                },
                [&] {
                    numbers.clearEditText();
                    numbers.setFocus();
                }));
    const int last = numbers.count() - 1;
    PrintTiming("pick the last vehicle (find by ID)", Measure([&] {
        numbers.setCurrentIndex(last);
        form.cbFederalNumberChange(last);
    }));
    PrintTiming("Готово on that vehicle (first by number, update)",
        Measure([&] { form.BitBtn1Click(); },
            [&] {
                numbers.setCurrentIndex(last);
                form.cbFederalNumberChange(last);
            }));
    return 0;
}
