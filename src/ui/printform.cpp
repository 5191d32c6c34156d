#include "ui/printform.h"

#include "inspection/measurementhost.h"
#include "inspection/reportpdf.h"
#include "inspection/reportprinting.h"
#include "inspection/reportsource.h"
#include "inspection/reporttemplate.h"
#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/dialogfont.h"
#include "ui/noticeplacement.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcReport, "kavro.report")

namespace kavro {

namespace {

constexpr QSize StartSize(800, 487);
constexpr int MinimumHeight = 200;
constexpr int PreviewHeight = 419; // at the start size; the rest holds the buttons
constexpr int ButtonStripHeight = StartSize.height() - PreviewHeight;
constexpr QSize ButtonSize(75, 25);
constexpr int ButtonSpacing = 8;
constexpr int ButtonRightDistance = 8;
constexpr int ButtonBottomDistance = 22;
constexpr QSize SaveButtonSize(100, 25);

const QString TemplateFileName = u"template.rtf"_s;
const QString StandardTemplateResource = u":/template.rtf"_s;
const QString LoadErrorText = u"Ошибка при загрузке файла шаблона. Печать невозможна"_s;

QString FillErrorText(const ReportFillResult &result)
{
    if (result.status == ReportFillResult::Status::TagMissing)
        return u"Неверный формат шаблона. Тег "_s + result.tag + u" не найден"_s;
    return u"Невозможно заполнить тег "_s + result.tag + u": "_s + result.reason
        + u". Печать невозможна"_s;
}

ReportTemplate StandardTemplate()
{
    QFile file(StandardTemplateResource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ReadReportTemplate(file.readAll());
}

} // namespace

TPrintForm::TPrintForm(
    UserDialogs &dialogs, AppEnvironment &environment, const ReportSource &source, QWidget *parent)
    : QDialog(parent)
    , dialogs_(dialogs)
    , environment_(environment)
    , source_(source)
{
    setObjectName(u"TPrintForm"_s);
    setWindowTitle(u"Подготовка к печати"_s);
    resize(StartSize);
    setMinimumSize(StartSize.width(), MinimumHeight);
    setMaximumWidth(StartSize.width());
    setFont(DialogFont());

    Panel1 = new QWidget(this);
    Panel1->setObjectName(u"Panel1"_s);
    RTB = new QTextEdit(Panel1);
    RTB->setObjectName(u"RTB"_s);
    RTB->setReadOnly(true);

    Button1 = new QPushButton(u"Печать"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button2 = new QPushButton(u"Отмена"_s, this);
    Button2->setObjectName(u"Button2"_s);
    for (QPushButton *button : { Button1, Button2 })
        button->resize(ButtonSize);
    Button3 = new QPushButton(u"Сохранить PDF…"_s, this);
    Button3->setObjectName(u"Button3"_s);
    Button3->resize(SaveButtonSize);
    Button3->setEnabled(false); // nothing is filled yet
    connect(Button1, &QPushButton::clicked, this, &TPrintForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPrintForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TPrintForm::Button3Click);
    PlaceChildren(size());

    // Until the template file is loaded the preview holds the standard template.
    ReportTemplate standard = StandardTemplate();
    if (standard.ok())
        ShowDocument(std::move(standard.document), standard.page);
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::SetReportData(const VehicleRecord &vehicle)
{
    vehicle_ = vehicle;
    setWindowTitle(ProgramName + u" - "_s + vehicle.FederalNumber);
}

void TPrintForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnOwner(*this);
        FormShow();
    }
}

void TPrintForm::resizeEvent(QResizeEvent *event)
{
    PlaceChildren(event->size());
    QDialog::resizeEvent(event);
}

void TPrintForm::PlaceChildren(QSize size)
{
    // The preview stretches; the buttons keep their distance to the right
    // and bottom edges.
    Panel1->setGeometry(0, 0, size.width(), size.height() - ButtonStripHeight);
    RTB->setGeometry(Panel1->rect());
    const int top = size.height() - ButtonBottomDistance - ButtonSize.height();
    const int right = size.width() - ButtonRightDistance;
    Button2->move(right - ButtonSize.width(), top);
    Button1->move(right - 2 * ButtonSize.width() - ButtonSpacing, top);
    Button3->move(Button1->x() - ButtonSpacing - SaveButtonSize.width(), top);
}

void TPrintForm::FormShow()
{
    Button1->setEnabled(true);
    Button3->setEnabled(false); // until the report is filled
    const std::optional<QByteArray> stored = source_.StoredTemplate();
    const QString path = QDir(environment_.ProgramFolder()).filePath(TemplateFileName);
    ReportTemplate loaded = stored ? ReadReportTemplate(*stored) : LoadReportTemplate(path);
    if (!loaded.ok()) {
        qCWarning(lcReport).noquote() << "template not loaded:" << loaded.error;
        RefusePrinting(LoadErrorText);
        return;
    }
    ShowDocument(std::move(loaded.document), loaded.page);
    const ReportInputs inputs = CollectReportInputs(vehicle_, source_, environment_.Now());
    filledAt_ = inputs.fillingTime;
    // A report with a value missing must never pass for a complete one.
    const ReportFillResult result = FillReport(*RTB->document(), inputs);
    if (!result.ok()) {
        RefusePrinting(FillErrorText(result));
        return;
    }
    SetReportUsable(true);
}

void TPrintForm::ShowDocument(std::unique_ptr<QTextDocument> document, const RtfPageLayout &page)
{
    // The preview owns the document it shows; the one it showed before goes
    // (the preview itself deletes the empty document it was created with).
    const QPointer<QTextDocument> previous = RTB->document();
    document->setParent(RTB);
    RTB->setDocument(document.release());
    if (previous && previous->parent() == RTB)
        delete previous.data();
    page_ = page;
}

void TPrintForm::RefusePrinting(const QString &message)
{
    ShowWarning(message);
    RTB->clear();
    SetReportUsable(false);
}

void TPrintForm::SetReportUsable(bool usable)
{
    Button1->setEnabled(usable);
    Button3->setEnabled(usable);
}

void TPrintForm::ShowWarning(const QString &text)
{
    dialogs_.Message(this, ProgramName, text, UserDialogs::Icon::Warning, UserDialogs::Ok);
}

void TPrintForm::Button1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    if (dialogs_.ChoosePrinter(this, printer)) {
        // The template's own paper and margins; a printer that cannot take
        // its paper prints on the paper chosen, with the template's margins.
        const QPageLayout layout = ReportPageLayout(page_);
        if (!printer.setPageLayout(layout))
            printer.setPageMargins(layout.margins(), layout.units());
        PrintOnPages(*RTB->document(), printer);
        if (printer.printerState() == QPrinter::Error)
            ShowWarning(u"Ошибка при печати. Отчет не напечатан"_s);
    }
    accept();
}

void TPrintForm::Button2Click()
{
    reject();
}

void TPrintForm::Button3Click()
{
    const QString folder
        = QDir(environment_.ProgramFolder()).filePath(ReportPdfFolderName.toString());
    QDir().mkpath(folder); // if it cannot be made, the dialog shows where it can
    const SaveFileRequest request {
        .title = u"Сохранение протокола"_s,
        .folder = folder,
        .proposedName = ReportPdfFileName(vehicle_.FederalNumber, filledAt_.date()),
        .filter = u"PDF (*.pdf)"_s,
        .defaultSuffix = u"pdf"_s,
    };
    const QString path = dialogs_.ChooseSaveFileName(this, request);
    if (path.isEmpty())
        return;
    if (const QString error = SaveReportPdf(*RTB->document(), page_, path, windowTitle());
        !error.isEmpty())
        dialogs_.Message(this, ProgramName, error, UserDialogs::Icon::Error, UserDialogs::Ok);
}

void actPrintExecute(UserDialogs &dialogs, TPrintForm &form)
{
    dialogs.ExecModal(form);
}

} // namespace kavro
