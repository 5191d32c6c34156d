// The report window: filled from the template beside the program each time
// it is shown, refused with a message when the template cannot serve, and
// printed into a real PDF file that pdftotext reads back.

#include "inspection/reporttemplate.h"
#include "support/fakemeasurementhost.h"
#include "support/scripteddialogs.h"
#include "support/testfiles.h"
#include "support/widgetdump.h"
#include "ui/printform.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::ProgramOutput;
using kavro::test::ReadFile;
using kavro::test::StandardTemplate;
using kavro::test::WriteFile;

namespace {

using Values = MeasurementResults::QuantityValues;

} // namespace

class tst_PrintForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void windowAtStart();
    void printedReport_data();
    void printedReport();
    void refusedReports_data();
    void refusedReports();
    void templateMissingThenPresent();
    void cancelled_data();
    void cancelled();
    void previewStretchesButtonsStay();
    void savedAsPdf_data();
    void savedAsPdf();

private:
    // Shows the window modally as the main window does; it prints into pdf
    // when "Печать" can be pressed, else cancels.
    int showAndPrint(const QString &pdf);
    QString templatePath() const { return folder_->filePath(u"template.rtf"_s); }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<test::FakeMeasurementHost> source_;
    MeasurementResults results_;
    std::unique_ptr<TPrintForm> form_;
};

void tst_PrintForm::initTestCase()
{
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(),
        "poppler-utils is not installed");
}

void tst_PrintForm::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(WriteFile(templatePath(), StandardTemplate()));
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(folder_->path());
    environment_->now = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 5));

    // An N3 with three-component after-treatment, measured before and after adjustment.
    results_ = {};
    results_.Readings[BeforeAdjustment][MinimumIdle] = Values { 1.5, 85, 14, 1, 0.9, 800, 80 };
    results_.Readings[BeforeAdjustment][IncreasedIdle]
        = Values { 0.62, 240, 14, 1, 0.98, 2100, 81 };
    results_.Readings[AfterAdjustment][MinimumIdle] = Values { 0.18, 5, 14, 1, 1.5, 820, 82 };
    results_.Readings[AfterAdjustment][IncreasedIdle] = Values { 0.12, 3000, 14, 1, 1.0, 2200, 83 };
    results_.BeforeAdjustmentDone = true;
    results_.AfterAdjustmentDone = true;
    source_ = std::make_unique<test::FakeMeasurementHost>();
    source_->results = &results_;
    source_->categoryCode = 32 + 2 + 4 + 16;
    source_->scales[gsLowLimit][qnCO] = 0.3;
    source_->scales[gsHighLimit][qnCO] = 0.3;
    source_->scales[gsLowLimit][qnCH] = 200;
    source_->scales[gsHighLimit][qnCH] = 200;

    form_ = std::make_unique<TPrintForm>(*dialogs_, *environment_, *source_);
    form_->SetReportData(
        { u"А123ВС"_s, 77, u"КамАЗ-6520"_s, u"Петров"_s, u"Сергей"_s, u"Николаевич"_s });
}

void tst_PrintForm::cleanup()
{
    form_.reset();
}

int tst_PrintForm::showAndPrint(const QString &pdf)
{
    dialogs_->dialogHandlers.append([this, pdf](QDialog &dialog) {
        dialog.show();
        auto &form = static_cast<TPrintForm &>(dialog);
        if (!form.Button1->isEnabled()) {
            QTest::mouseClick(form.Button2, Qt::LeftButton);
            return dialog.result();
        }
        dialogs_->printerHandlers.append([pdf](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        return dialog.result();
    });
    actPrintExecute(*dialogs_, *form_);
    return form_->result();
}

void tst_PrintForm::windowAtStart()
{
    // Until it is first shown, the preview holds the standard template.
    TPrintForm form(*dialogs_, *environment_, *source_);
    QVERIFY(test::MatchesGolden(form, u"printform"_s));
    form.SetReportData({ u"В001ОР"_s, 199, {}, {}, {}, {} });
    QCOMPARE(form.windowTitle(), u"КАВРО-02 - В001ОР"_s);
}

void tst_PrintForm::printedReport_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("beforeDone");
    QTest::addColumn<QStringList>("expected");

    // The long time format ends in the time zone.
    // Short date and long time, without the time zone.
    const QString dateLine = u"Дата измерений: 08.12.2026 10:00:05"_s;
    const QStringList n3 = { u"- категория N3"_s, u"- система нейтрализации трехкомпонентная"_s,
        u"- произведен после 01.10.1986"_s };
    const QStringList complete = QStringList {
        dateLine,
        u"Модель автомобиля: КамАЗ-6520"_s,
        u"Регистрационный знак: А123ВС77"_s,
        u"Владелец: Петров Сергей Николаевич"_s,
        u"Комплектация автомобиля:"_s,
    } + n3
        + QStringList { u"Содержание вредных выбросов в отработавших газах"_s,
              u"До регулировки 1,50 % 0,62 % 85 ppm 240 ppm 0,98"_s,
              u"После регулировки 0,18 % 0,12 % 5 ppm 3000 ppm 1,00"_s,
              u"По норме 0,30 % 0,30 % 200 ppm 200 ppm 0.97-1.03"_s };
    QTest::newRow("complete") << StandardTemplate() << 54 << true << complete;
    QTest::newRow("template saved by LibreOffice")
        << ReadFile(QStringLiteral(KAVRO_TEST_DATA "/template/template-libreoffice.rtf")) << 54
        << true << complete;
    QTest::newRow("made before 01.10.1986, after adjustment only")
        << StandardTemplate() << 0 << false
        << QStringList { u"- категория M1"_s, u"- система нейтрализации отсутствует"_s,
               u"- произведен до 01.10.1986"_s, u"До регулировки - - - - -"_s,
               u"После регулировки 0,18 % 0,12 % 5 ppm 3000 ppm 1,00"_s };
    const QByteArray date = R"(#{\lang1033 date}#)";
    QTest::newRow("#date# twice") << StandardTemplate().replace(date, QByteArray(date + " " + date))
                                  << 54 << true << QStringList { dateLine + u" #date#"_s };
}

void tst_PrintForm::printedReport()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, code);
    QFETCH(bool, beforeDone);
    QFETCH(QStringList, expected);

    QVERIFY(WriteFile(templatePath(), rtf));
    source_->categoryCode = code;
    results_.BeforeAdjustmentDone = beforeDone;
    const QString pdf = folder_->filePath(u"report.pdf"_s);
    QCOMPARE(showAndPrint(pdf), int(QDialog::Accepted));
    QVERIFY(!form_->isVisible());
    QCOMPARE(dialogs_->modalDialogs, QStringList { u"TPrintForm"_s });
    QCOMPARE(dialogs_->printerDialogs, 1);
    QCOMPARE(dialogs_->parents, QList<const QWidget *> { form_.get() });
    QVERIFY(dialogs_->messages.isEmpty());

    // The leading blanks of "   5 ppm" are exact in the preview, which is what is printed.
    QVERIFY(form_->RTB->toPlainText().contains(u"\n   5 ppm\n3000 ppm\n"_s));
    const QStringList lines = test::PdfLines(pdf);
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line), qPrintable(line + u"\n---\n"_s + lines.join(u'\n')));
    QVERIFY2(lines.filter(u"#"_s).size() == expected.filter(u"#"_s).size(),
        qPrintable(lines.join(u'\n')));
    const QString info = ProgramOutput(u"pdfinfo"_s, { pdf });
    QVERIFY2(info.contains(QRegularExpression(u"Pages: +1\n"_s)), qPrintable(info));
    QVERIFY2(info.contains(u"595 x 842 pts (A4)"_s), qPrintable(info));

    if (QTest::currentDataTag() == QByteArrayLiteral("complete")) {
        // The window with its filled preview, and the printed page.
        form_->show();
        QVERIFY(form_->grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/printform-filled.png")));
        form_->hide();
        ProgramOutput(u"pdftoppm"_s,
            { u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s, pdf,
                QStringLiteral(KAVRO_SCREENS_DIR "/report-printed") });
        QVERIFY(QFile::exists(QStringLiteral(KAVRO_SCREENS_DIR "/report-printed.png")));
    }
}

void tst_PrintForm::refusedReports_data()
{
    QTest::addColumn<QByteArray>("rtf"); // null: no file
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    const QString loadError = u"Ошибка при загрузке файла шаблона. Печать невозможна"_s;
    QTest::newRow("no template") << QByteArray() << 54 << loadError;
    QTest::newRow("not RTF") << QByteArray("Дата: #date#") << 54 << loadError;
    QTest::newRow("a paragraph too long to lay out quickly")
        << StandardTemplate().replace("\\'cf\\'f0\\'e8\\'ec\\'e5\\'f7\\'e0\\'ed\\'e8\\'ff:",
               QByteArray(MaxTemplateParagraphCharacters, 'x'))
        << 54 << loadError;
    QTest::newRow("without #L31#") << StandardTemplate().replace(R"(#{\lang1033 L31}#)",
        "0.97-1.03") << 54 << u"Неверный формат шаблона. Тег #L31# не найден"_s;
    QTest::newRow("after-treatment unknown")
        << StandardTemplate() << 32 + 24
        << u"Невозможно заполнить тег #neutralization#: код комплектации 56 не задает систему "
           u"нейтрализации. Печать невозможна"_s;
}

void tst_PrintForm::refusedReports()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, code);
    QFETCH(QString, message);

    QFile::remove(templatePath());
    if (!rtf.isNull())
        QVERIFY(WriteFile(templatePath(), rtf));
    source_->categoryCode = code;
    QString previewDuringMessage;
    dialogs_->onMessage = [&](const test::ScriptedDialogs::Shown &) {
        previewDuringMessage = form_->RTB->toPlainText();
    };
    form_->show();

    QCOMPARE(dialogs_->messages.size(), 1);
    const test::ScriptedDialogs::Shown &shown = dialogs_->messages.constFirst();
    QCOMPARE(shown.title, u"КАВРО-02"_s);
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.icon, UserDialogs::Icon::Warning);
    QCOMPARE(shown.buttons, UserDialogs::Buttons(UserDialogs::Ok));
    QCOMPARE(dialogs_->parents, QList<const QWidget *> { form_.get() });
    QVERIFY(form_->isVisible());
    QCOMPARE(form_->RTB->toPlainText(), QString());
    QVERIFY(!form_->Button1->isEnabled());
    QVERIFY(!form_->Button3->isEnabled()); // an unfilled report is never saved
    QVERIFY(form_->Button2->isEnabled());
    // A missing tag is reported after the others were replaced.
    if (message.contains(u"#L31#"_s))
        QVERIFY(previewDuringMessage.contains(u"А123ВС77"_s));
}

void tst_PrintForm::templateMissingThenPresent()
{
    QVERIFY(QFile::remove(templatePath()));
    QCOMPARE(showAndPrint(folder_->filePath(u"first.pdf"_s)), int(QDialog::Rejected));
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->printerDialogs, 0);

    QVERIFY(WriteFile(templatePath(), StandardTemplate()));
    const QString pdf = folder_->filePath(u"second.pdf"_s);
    QCOMPARE(showAndPrint(pdf), int(QDialog::Accepted));
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(form_->Button1->isEnabled());
    QVERIFY(test::PdfLines(pdf).contains(u"Регистрационный знак: А123ВС77"_s));
}

void tst_PrintForm::cancelled_data()
{
    QTest::addColumn<bool>("printerDialogCancelled"); // else "Отмена" in the window

    QTest::newRow("\"Отмена\"") << false;
    QTest::newRow("printer dialog cancelled") << true;
}

void tst_PrintForm::cancelled()
{
    QFETCH(bool, printerDialogCancelled);

    dialogs_->dialogHandlers.append([&](QDialog &dialog) {
        dialog.show();
        auto &form = static_cast<TPrintForm &>(dialog);
        QTest::mouseClick(printerDialogCancelled ? form.Button1 : form.Button2, Qt::LeftButton);
        return dialog.result();
    });
    actPrintExecute(*dialogs_, *form_);
    QVERIFY(!form_->isVisible());
    QCOMPARE(form_->result(), int(printerDialogCancelled ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(dialogs_->printerDialogs, printerDialogCancelled ? 1 : 0);
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList { u"template.rtf"_s });
}

void tst_PrintForm::previewStretchesButtonsStay()
{
    TPrintForm &form = *form_;
    form.show();
    QCOMPARE(form.size(), QSize(800, 487));
    form.resize(900, 600);
    QCOMPARE(form.size(), QSize(800, 600));
    QCOMPARE(form.Panel1->geometry(), QRect(0, 0, 800, 532));
    QCOMPARE(form.RTB->geometry(), QRect(0, 0, 800, 532));
    QCOMPARE(form.Button1->geometry(), QRect(634, 553, 75, 25));
    QCOMPARE(form.Button2->geometry(), QRect(717, 553, 75, 25));
    QCOMPARE(form.Button3->geometry(), QRect(526, 553, 100, 25));
}

void tst_PrintForm::savedAsPdf_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("answer"); // relative to the program folder; empty: cancelled
    QTest::addColumn<QString>("failure"); // the system's words, empty: saved

    const QString saved = u"Протоколы/отчёт.pdf"_s;
    QTest::newRow("saved") << u"А123ВС"_s << u"А123ВС 2026-12-08.pdf"_s << saved << QString();
    QTest::newRow("unsafe characters in the number")
        << u"А/12*3:ВС?"_s << u"А_12_3_ВС_ 2026-12-08.pdf"_s << saved << QString();
    QTest::newRow("no number") << QString() << u"2026-12-08.pdf"_s << saved << QString();
    QTest::newRow("cancelled") << u"А123ВС"_s << u"А123ВС 2026-12-08.pdf"_s << QString()
                               << QString();
    QTest::newRow("folder missing") << u"А123ВС"_s << u"А123ВС 2026-12-08.pdf"_s
                                    << u"нет/отчёт.pdf"_s << u"No such file or directory"_s;
    QTest::newRow("a folder of that name") << u"А123ВС"_s << u"А123ВС 2026-12-08.pdf"_s
                                           << u"Протоколы"_s << u"Filename refers to a directory"_s;
}

void tst_PrintForm::savedAsPdf()
{
    QFETCH(QString, number);
    QFETCH(QString, proposed);
    QFETCH(QString, answer);
    QFETCH(QString, failure);

    VehicleRecord vehicle = form_->ReportData();
    vehicle.FederalNumber = number;
    form_->SetReportData(vehicle);
    const QString path = answer.isEmpty() ? QString() : folder_->filePath(answer);
    dialogs_->saveAnswers << path;
    form_->show();
    QVERIFY(form_->Button3->isEnabled());
    const QString preview = form_->RTB->toPlainText();
    QTest::mouseClick(form_->Button3, Qt::LeftButton);

    const QString folder = folder_->filePath(u"Протоколы"_s);
    QCOMPARE(dialogs_->saveRequests.size(), 1);
    const SaveFileRequest &request = dialogs_->saveRequests.constFirst();
    QCOMPARE(request.title, u"Сохранение протокола"_s);
    QCOMPARE(request.folder, folder);
    QCOMPARE(request.proposedName, proposed);
    QCOMPARE(request.filter, u"PDF (*.pdf)"_s);
    QCOMPARE(request.defaultSuffix, u"pdf"_s);
    QVERIFY(QFileInfo(folder).isDir()); // made for the dialog
    // The window stays as it was, whatever came of it.
    QVERIFY(form_->isVisible());
    QCOMPARE(form_->RTB->toPlainText(), preview);
    QVERIFY(form_->Button1->isEnabled() && form_->Button3->isEnabled());
    QCOMPARE(dialogs_->printerDialogs, 0);

    if (!failure.isEmpty()) {
        QCOMPARE(dialogs_->messages.size(), 1);
        const test::ScriptedDialogs::Shown &shown = dialogs_->messages.constFirst();
        QCOMPARE(shown.title, u"КАВРО-02"_s);
        QCOMPARE(shown.icon, UserDialogs::Icon::Error);
        QCOMPARE(shown.text,
            u"Не удалось сохранить протокол в файл\r%1\r%2"_s.arg(
                QDir::toNativeSeparators(path), failure));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    QVERIFY(dialogs_->messages.isEmpty());
    if (path.isEmpty()) {
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    const QStringList lines = test::PdfLines(path);
    QVERIFY2(lines.contains(u"Регистрационный знак: "_s + number + u"77"_s),
        qPrintable(lines.join(u'\n')));
    QVERIFY(lines.contains(u"После регулировки 0,18 % 0,12 % 5 ppm 3000 ppm 1,00"_s));
    const QString info = ProgramOutput(u"pdfinfo"_s, { path });
    QVERIFY2(info.contains(u"595 x 842 pts (A4)"_s), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Title: +КАВРО-02 - "_s)), qPrintable(info));
}

QTEST_MAIN(tst_PrintForm)
#include "tst_printform.moc"
