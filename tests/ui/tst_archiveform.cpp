// The inspection archive as the operator meets it: the verdict line of the
// measurement dialog, a completed measurement stored on both back ends (the
// SQLite file Cars.mdb and a PostgreSQL server the test starts), the archive
// window's list and filters, the report reopened from the archive compared
// with the one printed at the time (as PDF text), and a database that
// refuses to be written.

#include "inspection/inspectionarchive.h"
#include "support/fakemeasurementhost.h"
#include "support/registerbackends.h"
#include "support/scripteddialogs.h"
#include "support/testfiles.h"
#include "support/widgetdump.h"
#include "ui/archiveform.h"
#include "ui/inspectionarchiving.h"
#include "ui/newmesform.h"
#include "ui/printform.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::PdfText;
using kavro::test::ProgramOutput;
using kavro::test::StandardTemplate;
using kavro::test::WriteFile;

namespace {

using Values = MeasurementResults::QuantityValues;

QString ScreenPath(const QString &name)
{
    return QStringLiteral(KAVRO_SCREENS_DIR "/") + name + u".png"_s;
}

const VehicleRecord Vehicle { u"А123ВС"_s, 77, u"Лада Гранта"_s, u"Петров"_s, u"Сергей"_s,
    u"Николаевич"_s, 32 + 16 };
constexpr int M1ThreeComponent = 32 + 16; // CO 0,30/0,50 %, CH 100/100 ppm, 100-1100, 2000-9999
// Minimum and increased idle; CO at minimum idle as given.
Values AtMinimumIdle(double co)
{
    return { co, 90, 14.5, 0.5, 1.0, 820, 84 };
}
const Values AtIncreasedIdle { 0.25, 60, 14.7, 0.4, 1.01, 2400, 86 };

// The windows of the main window that the archive works with, on a fake main
// window (shown values and gauge limits set by the test).
struct Station
{
    Station(test::ScriptedDialogs &dialogs, test::FakeEnvironment &environment)
        : form(host)
        , printForm(dialogs, environment, host)
        , archiving(dialogs, environment, host, form, nullptr)
    {
        host.results = &form.Results();
    }

    // The registration as the main window makes it.
    void Register(const VehicleRecord &vehicle, int categoryCode)
    {
        host.SetCategory(categoryCode);
        form.ResetForNewVehicle();
        printForm.SetReportData(vehicle);
        archiving.VehicleRegistered(vehicle);
    }

    // Both steps of a measurement with these values shown.
    void Measure(AdjustmentKind kind, const Values &minimum, const Values &increased)
    {
        form.show();
        (kind == BeforeAdjustment ? form.RadioButton1 : form.RadioButton2)->click();
        host.shown = minimum;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        host.shown = increased;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }

    test::FakeMeasurementHost host;
    TNewMesForm form;
    TPrintForm printForm;
    InspectionArchiving archiving;
};

} // namespace

class tst_ArchiveForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void verdictLineInBothColours();
    void reportFromTheArchiveAsPrinted_data() { test::RegisterBackEnds::AddRows(); }
    void reportFromTheArchiveAsPrinted();
    void listAndFilters_data() { test::RegisterBackEnds::AddRows(); }
    void listAndFilters();
    void readOnlyDatabaseLosesNothing_data() { test::RegisterBackEnds::AddRows(); }
    void readOnlyDatabaseLosesNothing();
    void archiveThatCannotBeRead();

private:
    // A fresh program folder with the standard template on the back end of
    // the row, and a station on it; none when the back end cannot be had
    // (the test is then skipped or failed).
    void Prepare(const QString &backEnd);
    QString Folder() const { return backEnds_.Folder(); }

    test::RegisterBackEnds backEnds_;
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<Station> station_;
};

void tst_ArchiveForm::initTestCase()
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(),
        "poppler-utils is not installed");
}

void tst_ArchiveForm::Prepare(const QString &backEnd)
{
    station_.reset();
    PREPARE_BACK_END(backEnds_, backEnd);
    QVERIFY(WriteFile(QDir(Folder()).filePath(u"template.rtf"_s), StandardTemplate()));
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(Folder());
    environment_->now = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 5));
    station_ = std::make_unique<Station>(*dialogs_, *environment_);
}

// Prepares the row's back end; ends the test when it cannot be had.
#define PREPARE(backEnd)                                                                           \
    do {                                                                                           \
        Prepare(backEnd);                                                                          \
        if (!station_)                                                                             \
            return;                                                                                \
    } while (false)

void tst_ArchiveForm::cleanup()
{
    station_.reset();
    backEnds_.Finish();
}

void tst_ArchiveForm::verdictLineInBothColours()
{
    PREPARE(test::RegisterBackEnds::Sqlite);
    Station &station = *station_;
    TNewMesForm &form = station.form;
    station.Register(Vehicle, M1ThreeComponent);

    // Before adjustment only: nothing to decide yet.
    station.Measure(BeforeAdjustment, AtMinimumIdle(0.8), AtIncreasedIdle);
    QVERIFY(form.Label9->isHidden());

    station.Measure(AfterAdjustment, AtMinimumIdle(0.8), AtIncreasedIdle);
    QVERIFY(!form.isVisible());
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(
        form.Label9->text(), u"Не соответствует: CO на минимальных оборотах 0,80 % > 0,30 %"_s);
    QCOMPARE(form.Label9->toolTip(), u"CO на минимальных оборотах 0,80 % > 0,30 %"_s);
    // The dialog shows it from then on, until the next verdict or vehicle.
    form.show();
    QVERIFY(test::MatchesGolden(form, u"newmesform-verdict"_s));
    QVERIFY(form.grab().save(ScreenPath(u"newmesform-verdict-failed"_s)));

    QTest::mouseClick(form.Button2, Qt::LeftButton);
    station.Measure(AfterAdjustment, AtMinimumIdle(0.3), AtIncreasedIdle);
    QCOMPARE(form.Label9->text(), u"Соответствует"_s);
    QCOMPARE(form.Label9->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
    form.show();
    QVERIFY(form.grab().save(ScreenPath(u"newmesform-verdict-passed"_s)));
    QTest::mouseClick(form.Button2, Qt::LeftButton);

    // A long reason is cut to the line; the tool tip holds them all.
    station.Measure(AfterAdjustment, AtMinimumIdle(0.3), { 0.25, 60, 14.7, 0.4, 1.01, 1500, 86 });
    QVERIFY(form.Label9->text().startsWith(u"Соответствует: обороты вне диапазона"_s));
    QVERIFY(form.Label9->text().endsWith(u"…"_s));
    QCOMPARE(form.Label9->toolTip(),
        u"обороты вне диапазона на повышенных оборотах: 1500 об/мин, требуется 2000-9999 об/мин"_s);

    // A new vehicle: the line goes, the dialog has its old size.
    station.Register(Vehicle, M1ThreeComponent);
    QVERIFY(form.Label9->isHidden());
    QCOMPARE(form.size(), QSize(393, 374));
    QCOMPARE(form.Button1->geometry(), QRect(227, 341, 75, 25));

    // The archive action as the main window's menu gets it.
    const QAction &action = *station.archiving.actArchive;
    QCOMPARE(action.objectName(), u"actArchive"_s);
    QCOMPARE(action.text(), u"Архив проверок"_s);
    QCOMPARE(action.statusTip(), u"Просмотр и печать сохраненных проверок"_s);
    QCOMPARE(action.property("category").toString(), u"catFile"_s);
    QVERIFY(action.isEnabled());
}

void tst_ArchiveForm::reportFromTheArchiveAsPrinted()
{
    QFETCH(QString, backEnd);
    PREPARE(backEnd);
    Station &station = *station_;
    station.Register(Vehicle, M1ThreeComponent);
    station.Measure(BeforeAdjustment, AtMinimumIdle(1.2), AtIncreasedIdle);
    station.Measure(AfterAdjustment, AtMinimumIdle(0.8), AtIncreasedIdle);
    QVERIFY2(dialogs_->messages.isEmpty(), qPrintable(dialogs_->messages.value(0).text));

    // The report printed at the time, on a PDF printer.
    const QString printed = QDir(Folder()).filePath(u"printed.pdf"_s);
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        dialogs_->printerHandlers.append([&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        });
        QTest::mouseClick(station.printForm.Button1, Qt::LeftButton);
        return dialog.result();
    });
    actPrintExecute(*dialogs_, station.printForm);
    const QString printedText = PdfText(printed);
    QVERIFY(printedText.contains(u"Дата измерений: 08.12.2026 10:00:05"_s));

    // A day later, with another template, the archive gives the same report.
    QByteArray edited = StandardTemplate();
    edited.replace("\\'cd\\'e0\\'f1\\'f2\\'f0\\'ee\\'e9\\'f9\\'e8\\'ea", "Master");
    QVERIFY(WriteFile(QDir(Folder()).filePath(u"template.rtf"_s), edited));
    environment_->now = environment_->now.addDays(1);
    const QString folder = QDir(Folder()).filePath(u"Протоколы"_s);
    const QString saved = QDir(folder).filePath(u"protocol.pdf"_s);
    dialogs_->saveAnswers << saved;
    QString previewTitle;
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        auto &archive = static_cast<TArchiveForm &>(dialog);
        if (archive.Model().rowCount() == 1)
            QTest::mouseClick(archive.Button1, Qt::LeftButton);
        return QDialog::Rejected;
    });
    bool openAfterSaving = false;
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        auto &report = static_cast<TPrintForm &>(dialog);
        previewTitle = report.windowTitle();
        QTest::mouseClick(report.Button3, Qt::LeftButton);
        openAfterSaving = report.isVisible();
        QTest::mouseClick(report.Button2, Qt::LeftButton);
        return dialog.result();
    });
    station.archiving.actArchive->trigger();
    QCOMPARE(dialogs_->modalDialogs,
        QStringList({ u"TPrintForm"_s, u"TArchiveForm"_s, u"TPrintForm"_s }));
    QVERIFY2(dialogs_->messages.isEmpty(), qPrintable(dialogs_->messages.value(0).text));
    QCOMPARE(previewTitle, u"КАВРО-02 - А123ВС"_s);
    QVERIFY(openAfterSaving);

    // Proposed in "Протоколы", made on the way, named after the number and the stored day.
    QCOMPARE(dialogs_->saveRequests.size(), 1);
    const SaveFileRequest &request = dialogs_->saveRequests.constFirst();
    QCOMPARE(request.folder, folder);
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(request.proposedName, u"А123ВС 2026-12-08.pdf"_s);
    QCOMPARE(request.filter, u"PDF (*.pdf)"_s);
    QCOMPARE(request.defaultSuffix, u"pdf"_s);
    QCOMPARE(request.title, u"Сохранение протокола"_s);

    const QString savedText = PdfText(saved);
    QCOMPARE(savedText, printedText);
    QVERIFY(savedText.contains(u"Настройщик"_s));
    QVERIFY(savedText.contains(u"0,80 %"_s));
    if (backEnd == test::RegisterBackEnds::Sqlite) {
        ProgramOutput(u"pdftoppm"_s,
            { u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s, saved,
                QStringLiteral(KAVRO_SCREENS_DIR "/report-saved-pdf") });
        QVERIFY(QFile::exists(QStringLiteral(KAVRO_SCREENS_DIR "/report-saved-pdf.png")));
    }
}

void tst_ArchiveForm::listAndFilters()
{
    QFETCH(QString, backEnd);
    PREPARE(backEnd);
    {
        InspectionArchive archive(Folder());
        QVERIFY(archive.Open(true).Ok());
        const auto save = [&](const QString &number, const QDateTime &at, int code, bool passed) {
            InspectionRecord record;
            record.inspectedAt = at;
            record.vehicle = { number, 50, u"ГАЗ-3110"_s, u"Иванов"_s, u"Иван"_s, {}, code };
            record.categoryCode = code;
            record.results.AfterAdjustmentDone = true;
            record.verdict = { passed, passed ? u"соответствует"_s : u"не соответствует"_s, {} };
            return archive.Save(record).Ok();
        };
        // A busy month before, then three on the days of the test.
        const QDateTime start(QDate(2026, 11, 1), QTime(8, 0));
        for (int index = 0; index < 205; ++index)
            QVERIFY(save(u"Т%1ТТ"_s.arg(index, 3, 10, QChar(u'0')), start.addSecs(600 * index), 33,
                index % 3 != 0));
        QVERIFY(save(u"А123ВС"_s, QDateTime(QDate(2026, 12, 7), QTime(9, 30)), 0, true));
        QVERIFY(save(u"А124ВС"_s, QDateTime(QDate(2026, 12, 8), QTime(9, 45, 10)), 54, false));
        QVERIFY(save(u"В777ОР"_s, QDateTime(QDate(2026, 12, 8), QTime(9, 50)), 37 + 8, true));
    }

    QStringList shownAtOpening;
    const auto inWindow = [&](QDialog &dialog) {
        dialog.resize(780, 480);
        dialog.show();
        auto &window = static_cast<TArchiveForm &>(dialog);
        InspectionListModel &model = window.Model();
        const auto numbers = [&] {
            QStringList shown;
            for (int row = 0; row < model.rowCount(); ++row)
                shown << model.data(model.index(row, InspectionListModel::colNumber)).toString();
            return shown;
        };
        // Newest first, one page read; the rest as the list is scrolled.
        QCOMPARE(window.Label3->text(), u"Найдено проверок: 208"_s);
        QCOMPARE(model.rowCount(), InspectionListModel::PageSize);
        shownAtOpening = numbers().mid(0, 4);
        QCOMPARE(window.grdInspections->currentIndex().row(), 0);
        const QStringList firstRow = [&] {
            QStringList cells;
            for (int column = 0; column < InspectionListModel::ColumnCount; ++column)
                cells << model.data(model.index(0, column)).toString();
            return cells;
        }();
        QCOMPARE(firstRow,
            QStringList({ u"08.12.2026 09:50:00"_s, u"В777ОР"_s, u"50"_s, u"ГАЗ-3110"_s,
                u"Иванов Иван"_s, u"N2"_s, u"соответствует"_s }));
        QCOMPARE(model.data(model.index(1, InspectionListModel::colVerdict), Qt::ForegroundRole)
                     .value<QColor>(),
            QColor(0xC0, 0x00, 0x00));
        QCOMPARE(model.data(model.index(2, InspectionListModel::colCategory)).toString(),
            u"до 01.10.1986"_s);
        if (backEnd == test::RegisterBackEnds::Sqlite) {
            QVERIFY(test::MatchesGolden(window, u"archiveform"_s));
            QVERIFY(window.grab().save(ScreenPath(u"archiveform"_s)));
        }
        for (int page = 2; page <= 3; ++page) {
            window.grdInspections->scrollToBottom();
            QTRY_COMPARE(model.rowCount(), std::min(208, page * InspectionListModel::PageSize));
        }
        QCOMPARE(numbers().constLast(), u"Т000ТТ"_s);

        // Part of the number, typed: in small letters and Latin ones.
        QTest::keyClicks(window.edtNumber, u"a12"_s);
        QCOMPARE(numbers(), QStringList({ u"А124ВС"_s, u"А123ВС"_s }));
        QCOMPARE(window.Label3->text(), u"Найдено проверок: 2"_s);
        // And a period of days, both included.
        window.chkPeriod->setChecked(true);
        QVERIFY(window.dtpFrom->isEnabled() && window.dtpTo->isEnabled());
        QCOMPARE(window.dtpFrom->date(), QDate(2026, 11, 8));
        QCOMPARE(window.dtpTo->date(), QDate(2026, 12, 8));
        window.dtpFrom->setDate(QDate(2026, 12, 8));
        QCOMPARE(numbers(), QStringList({ u"А124ВС"_s }));
        if (backEnd == test::RegisterBackEnds::Sqlite)
            QVERIFY(window.grab().save(ScreenPath(u"archiveform-filtered"_s)));
        window.edtNumber->clear();
        QCOMPARE(numbers(), QStringList({ u"В777ОР"_s, u"А124ВС"_s }));
        window.dtpTo->setDate(QDate(2026, 12, 7));
        QCOMPARE(numbers(), QStringList());
        QCOMPARE(window.Label3->text(), u"Найдено проверок: 0"_s);
        QVERIFY(!window.Button1->isEnabled());
    };
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        inWindow(dialog);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        return dialog.result();
    });
    station_->archiving.actArchive->trigger();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(shownAtOpening, QStringList({ u"В777ОР"_s, u"А124ВС"_s, u"А123ВС"_s, u"Т204ТТ"_s }));
    QVERIFY(dialogs_->messages.isEmpty());
    QVERIFY(!station_->archiving.ArchiveWindow()->isVisible());
}

void tst_ArchiveForm::readOnlyDatabaseLosesNothing()
{
    QFETCH(QString, backEnd);
    PREPARE(backEnd);
    Station &station = *station_;
    station.Register(Vehicle, M1ThreeComponent);
    station.Measure(AfterAdjustment, AtMinimumIdle(0.8), AtIncreasedIdle);
    QVERIFY(dialogs_->messages.isEmpty());

    QVERIFY(backEnds_.MakeReadOnly());
    station.Measure(AfterAdjustment, AtMinimumIdle(0.2), AtIncreasedIdle);
    QCOMPARE(dialogs_->messages.size(), 1);
    const test::ScriptedDialogs::Shown &shown = dialogs_->messages.constFirst();
    QCOMPARE(shown.title, u"КАВРО-02"_s);
    QCOMPARE(shown.icon, UserDialogs::Icon::Warning);
    QVERIFY2(shown.text.startsWith(u"Результаты проверки не сохранены в архиве проверок.\r"_s),
        qPrintable(shown.text));
    QVERIFY2(shown.text.contains(backEnds_.IsServer() ? u"in a read-only transaction"_s
                                                      : u"attempt to write a readonly database"_s),
        qPrintable(shown.text));

    // The measurement is all there: stored, decided, printable, in the report.
    QCOMPARE(station.form.Results().Readings[AfterAdjustment][MinimumIdle], AtMinimumIdle(0.2));
    QVERIFY(station.host.printEnabled);
    QCOMPARE(station.form.Label9->text(), u"Соответствует"_s);
    station.printForm.show();
    QVERIFY(station.printForm.Button1->isEnabled());
    QVERIFY(station.printForm.RTB->toPlainText().contains(u"\n0,20 %\n"_s));
    station.printForm.hide();

    // The archive keeps what it had.
    InspectionArchive archive(Folder());
    QVERIFY(archive.Open(false).Ok());
    const QList<InspectionListEntry> entries = archive.List({}, {}, 10).value;
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].verdictText, u"не соответствует"_s);
}

void tst_ArchiveForm::archiveThatCannotBeRead()
{
    PREPARE(test::RegisterBackEnds::Sqlite);
    Station &station = *station_;
    station.Register(Vehicle, M1ThreeComponent);
    station.Measure(AfterAdjustment, AtMinimumIdle(0.8), AtIncreasedIdle);

    // Deleted by another station while the list shows it.
    QString status;
    QStringList texts;
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        auto &window = static_cast<TArchiveForm &>(dialog);
        backEnds_.Exec(u"DELETE FROM INSPECTION"_s);
        QTest::mouseClick(window.Button1, Qt::LeftButton);
        status = window.Label3->text();
        window.reject();
        return window.result();
    });
    station.archiving.actArchive->trigger();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0].text,
        u"Этой проверки больше нет в архиве: её удалили с другого места."_s);
    QCOMPARE(status, u"Найдено проверок: 0"_s); // the list read again
    QCOMPARE(dialogs_->modalDialogs, QStringList { u"TArchiveForm"_s });

    // A register file that is no database: said at the opening and under the list.
    backEnds_.Disconnect();
    QVERIFY(QFile::remove(backEnds_.FilePath()));
    QVERIFY(WriteFile(backEnds_.FilePath(), "FederalNumber;Region\n"));
    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        auto &window = static_cast<TArchiveForm &>(dialog);
        status = window.Label3->text();
        texts << (window.Label3->palette().color(QPalette::WindowText).name())
              << QString::number(window.Model().rowCount())
              << (window.Button1->isEnabled() ? u"enabled"_s : u"disabled"_s);
        return QDialog::Rejected;
    });
    station.archiving.actArchive->trigger();
    QCOMPARE(dialogs_->messages.size(), 2);
    const QString reason = u"Файл «%1» не является базой данных автомобилей (SQLite)."_s.arg(
        QDir::toNativeSeparators(backEnds_.FilePath()));
    QVERIFY2(dialogs_->messages[1].text.startsWith(u"Архив проверок недоступен.\r"_s + reason),
        qPrintable(dialogs_->messages[1].text));
    QVERIFY2(status.startsWith(reason), qPrintable(status));
    QCOMPARE(texts, QStringList({ u"#c00000"_s, u"0"_s, u"disabled"_s }));
}

QTEST_MAIN(tst_ArchiveForm)
#include "tst_archiveform.moc"
