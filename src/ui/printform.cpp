#include "ui/printform.h"

#include "inspection/measurementhost.h"
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
    connect(Button1, &QPushButton::clicked, this, &TPrintForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPrintForm::Button2Click);
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
}

void TPrintForm::FormShow()
{
    Button1->setEnabled(true);
    const QString path = QDir(environment_.ProgramFolder()).filePath(TemplateFileName);
    ReportTemplate loaded = LoadReportTemplate(path);
    if (!loaded.ok()) {
        qCWarning(lcReport).noquote() << "template not loaded:" << loaded.error;
        RefusePrinting(LoadErrorText);
        return;
    }
    ShowDocument(std::move(loaded.document), loaded.page);
    // A report with a value missing must never pass for a complete one.
    const ReportFillResult result = FillReport(*RTB->document(), CollectInputs());
    if (!result.ok())
        RefusePrinting(FillErrorText(result));
}

ReportInputs TPrintForm::CollectInputs() const
{
    ReportInputs inputs;
    inputs.vehicle = vehicle_;
    inputs.categoryCode = source_.CurrentVehicleCategory();
    inputs.results = source_.Results();
    inputs.co
        = { source_.GaugeScaleValue(gsLowLimit, qnCO), source_.GaugeScaleValue(gsHighLimit, qnCO) };
    inputs.ch
        = { source_.GaugeScaleValue(gsLowLimit, qnCH), source_.GaugeScaleValue(gsHighLimit, qnCH) };
    inputs.fillingTime = environment_.Now();
    return inputs;
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
    Button1->setEnabled(false);
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

void actPrintExecute(UserDialogs &dialogs, TPrintForm &form)
{
    dialogs.ExecModal(form);
}

} // namespace kavro
