// archivebench [--rows N] [--folder DIR]: opens the inspection archive window
// on an archive of N inspections (100,000 by default) and prints how long the
// opening takes, step by step, and what the operator's next actions cost:
// typing part of a number, choosing a period, scrolling to the next page,
// opening an inspection's report.
//
// Without --folder the archive is a fresh Cars.mdb in a temporary program
// folder, filled first. With --folder DIR the program folder DIR is used as it
// is (its KAVRO02.ini may name a PostgreSQL server), filled up to N inspections.

#include "inspection/inspectionarchive.h"
#include "platform/appenvironment.h"
#include "platform/userdialogs.h"
#include "ui/archiveform.h"
#include "ui/printform.h"

#include "benchtiming.h"
#include "platenumbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavro;
using namespace kavro::bench;

namespace {

// Prints every message; shows modal windows without a loop of their own.
class PrintingDialogs : public UserDialogs
{
public:
    Button Message(QWidget *, const QString &, const QString &text, Icon, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Ok;
    }
    int ChoosePort(QWidget *, int index) override { return index; }
    int ExecModal(QDialog &dialog) override
    {
        dialog.show();
        QApplication::processEvents();
        dialog.hide();
        return QDialog::Rejected;
    }
    QString ChooseSaveFileName(QWidget *, const SaveFileRequest &) override { return {}; }
    bool ChoosePrinter(QWidget *, QPrinter &) override { return false; }
};

class BenchEnvironment : public AppEnvironment
{
public:
    explicit BenchEnvironment(QString folder)
        : folder_(std::move(folder))
    { }
    QDateTime Now() const override { return QDateTime(QDate(2026, 12, 8), QTime(10, 0)); }
    QString ProgramFolder() const override { return folder_; }
    void EndProgram(int) override { }

private:
    QString folder_;
};

// Adds inspections until there are rows: three years of a busy station, a
// few minutes apart, each with its 28 readings, limits and verdict.
bool Fill(InspectionArchive &archive, qint64 rows)
{
    const qint64 present = archive.Count({}).value;
    if (present >= rows)
        return true;
    // Durability does not matter for a filling that can be repeated.
    QSqlQuery fast(QSqlDatabase::database(archive.ConnectionName()));
    fast.exec(QSqlDatabase::database(archive.ConnectionName()).driverName() == u"QPSQL"_s
            ? u"SET synchronous_commit = off"_s
            : u"PRAGMA synchronous = OFF"_s);
    static const QStringList Marks = { u"ВАЗ-2107"_s, u"Лада Гранта"_s, u"ГАЗель"_s,
        u"КамАЗ-5320"_s, u"Ford Focus"_s, u"Kia Rio"_s, u"Renault Logan"_s };
    QFile standard(u":/template.rtf"_s);
    standard.open(QIODevice::ReadOnly);
    const QByteArray rtf = standard.readAll();
    QRandomGenerator random(2026);
    QDateTime at(QDate(2024, 1, 9), QTime(8, 0));
    for (qint64 row = present; row < rows; ++row) {
        at = at.addSecs(60 * random.bounded(3, 17));
        InspectionRecord record;
        record.inspectedAt = at;
        const int code = 32 + random.bounded(3) + 8 * random.bounded(3);
        record.vehicle = { PlateNumber(random), random.bounded(1, 200),
            Marks.at(random.bounded(Marks.size())), u"Иванов"_s, u"Иван"_s, u"Иванович"_s, code };
        record.categoryCode = code;
        for (auto &phases : record.results.Readings)
            for (auto &values : phases)
                for (double &value : values)
                    value = random.generateDouble() * 3;
        record.results.BeforeAdjustmentDone = random.bounded(2) == 1;
        record.results.AfterAdjustmentDone = true;
        const GaugeScales scales = ScalesForCategory(code, {});
        record.limits = { scales[qnCO], scales[qnCH], scales[qnEngineSpeed] };
        record.verdict
            = DecideVerdict(code, record.results.Readings[AfterAdjustment], record.limits);
        record.templateRtf = rtf;
        if (const StoreAnswer<qint64> saved = archive.Save(record); !saved.Ok()) {
            std::fprintf(stderr, "filling: %s\n", qPrintable(saved.error));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "default.warning=false");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ u"rows"_s, u"Inspections in the archive (100000)."_s, u"N"_s, u"100000"_s });
    parser.addOption({ u"folder"_s, u"Program folder to use as it is."_s, u"DIR"_s });
    parser.process(application);
    const qint64 rows = parser.value(u"rows"_s).toLongLong();

    QTemporaryDir temporary;
    const QString folder = parser.isSet(u"folder"_s) ? parser.value(u"folder"_s) : temporary.path();
    QElapsedTimer filling;
    filling.start();
    qint64 count = 0;
    {
        InspectionArchive archive(folder);
        const StoreStatus opened = archive.Open(true);
        if (!opened.Ok() || !Fill(archive, rows)) {
            std::fprintf(stderr, "archive not ready: %s\n", qPrintable(opened.error));
            return 1;
        }
        count = archive.Count({}).value;
        std::printf("archive: %s, %lld inspections (filled in %.1f s)\n",
            qPrintable(archive.Connection().Description()), static_cast<long long>(count),
            double(filling.elapsed()) / 1000);
    }

    PrintingDialogs dialogs;
    BenchEnvironment environment(folder);
    TArchiveForm form(dialogs, environment);
    form.resize(780, 480);
    InspectionArchive archive(folder);
    archive.Open(false);
    PrintTimingHeading();
    std::printf("opening the window, step by step:\n");
    PrintTiming("reconnect to the database", Measure([&] { archive.Open(false); }));
    PrintTiming("first page, newest first (100 rows)", Measure([&] { archive.List({}, {}, 100); }));
    PrintTiming("count them all", Measure([&] { archive.Count({}); }));
    std::printf("opening as the operator sees it:\n");
    PrintTiming("show() until the list is painted",
        Measure(
            [&] {
                form.show();
                QApplication::processEvents();
                form.repaint();
            },
            [&] { form.hide(); }));
    std::printf("then:\n");
    PrintTiming("type \"А12\" into the number field",
        Measure([&] { form.edtNumber->setText(u"А12"_s); }, [&] { form.edtNumber->clear(); }));
    PrintTiming("type \"Я\" (no number has it: all searched)",
        Measure([&] { form.edtNumber->setText(u"Я"_s); }, [&] { form.edtNumber->clear(); }));
    PrintTiming("the period of one month",
        Measure([&] { form.chkPeriod->setChecked(true); },
            [&] {
                form.chkPeriod->setChecked(false);
                form.dtpFrom->setDate(QDate(2025, 3, 1));
                form.dtpTo->setDate(QDate(2025, 3, 31));
            }));
    form.chkPeriod->setChecked(false);
    form.edtNumber->clear();
    PrintTiming("scroll to the end: the next page", Measure([&] {
        form.grdInspections->scrollToBottom();
        QApplication::processEvents();
    }));
    std::printf("  (%d rows read of %lld)\n", form.Model().rowCount(),
        static_cast<long long>(form.Model().TotalCount()));
    PrintTiming("open the newest inspection's report", Measure([&] { form.OpenInspection(0); }));
    return 0;
}
