#include "ui/archiveform.h"

#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/dialogfont.h"
#include "ui/noticeplacement.h"
#include "ui/printform.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr QSize StartSize(780, 480);
constexpr QSize ButtonSize(110, 25);
constexpr int DefaultPeriodDays = 30;
const QString DateFormat = u"dd.MM.yyyy"_s;
// Widths of the list's columns at the start size; the owner takes the rest.
constexpr int ColumnWidths[InspectionListModel::ColumnCount] = { 130, 80, 55, 120, 0, 85, 120 };
} // namespace

TArchiveForm::TArchiveForm(UserDialogs &dialogs, AppEnvironment &environment, QWidget *parent)
    : QDialog(parent)
    , dialogs_(dialogs)
    , environment_(environment)
    , archive_(environment.ProgramFolder())
    , model_(new InspectionListModel(archive_, this))
    , reportWindow_(std::make_unique<TPrintForm>(dialogs, environment, reportSource_, this))
{
    setObjectName(u"TArchiveForm"_s);
    setWindowTitle(u"Архив проверок"_s);
    setFont(DialogFont());
    resize(StartSize);

    auto *layout = new QVBoxLayout(this);
    CreateFilters();
    CreateList();
    auto *filters = new QHBoxLayout;
    filters->addWidget(Label1);
    filters->addWidget(edtNumber);
    filters->addSpacing(24);
    filters->addWidget(chkPeriod);
    filters->addWidget(dtpFrom);
    filters->addWidget(Label2);
    filters->addWidget(dtpTo);
    filters->addStretch();
    layout->addLayout(filters);
    layout->addWidget(grdInspections);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label3, 1);
    bottom->addWidget(Button1);
    bottom->addWidget(Button2);
    layout->addLayout(bottom);

    connect(model_, &InspectionListModel::ReadFailed, this,
        [this](const QString &error) { ShowStatus(error, true); });
}

TArchiveForm::~TArchiveForm() = default;

void TArchiveForm::CreateFilters()
{
    Label1 = new QLabel(u"Регистрационный знак:"_s, this);
    Label1->setObjectName(u"Label1"_s);
    edtNumber = new QLineEdit(this);
    edtNumber->setObjectName(u"edtNumber"_s);
    edtNumber->setFixedWidth(110);
    edtNumber->setClearButtonEnabled(true);
    Label1->setBuddy(edtNumber);

    chkPeriod = new QCheckBox(u"Период с"_s, this);
    chkPeriod->setObjectName(u"chkPeriod"_s);
    dtpFrom = new QDateEdit(this);
    dtpFrom->setObjectName(u"dtpFrom"_s);
    Label2 = new QLabel(u"по"_s, this);
    Label2->setObjectName(u"Label2"_s);
    dtpTo = new QDateEdit(this);
    dtpTo->setObjectName(u"dtpTo"_s);
    for (QDateEdit *edit : { dtpFrom, dtpTo }) {
        edit->setDisplayFormat(DateFormat);
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
        connect(edit, &QDateEdit::dateChanged, this, &TArchiveForm::ApplyFilter);
    }
    connect(edtNumber, &QLineEdit::textChanged, this, &TArchiveForm::ApplyFilter);
    connect(chkPeriod, &QCheckBox::toggled, this, [this](bool checked) {
        dtpFrom->setEnabled(checked);
        dtpTo->setEnabled(checked);
        ApplyFilter();
    });
}

void TArchiveForm::CreateList()
{
    grdInspections = new QTableView(this);
    grdInspections->setObjectName(u"grdInspections"_s);
    grdInspections->setModel(model_);
    grdInspections->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdInspections->setSelectionMode(QAbstractItemView::SingleSelection);
    grdInspections->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdInspections->setAlternatingRowColors(true);
    grdInspections->setWordWrap(false);
    grdInspections->verticalHeader()->hide();
    // Fixed row heights: the view never measures the rows' contents.
    grdInspections->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdInspections->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView *header = grdInspections->horizontalHeader();
    header->setHighlightSections(false);
    for (int column = 0; column < InspectionListModel::ColumnCount; ++column) {
        if (ColumnWidths[column] > 0)
            header->resizeSection(column, ColumnWidths[column]);
    }
    header->setSectionResizeMode(InspectionListModel::colOwner, QHeaderView::Stretch);
    connect(grdInspections, &QTableView::activated, this,
        [this](const QModelIndex &index) { OpenInspection(index.row()); });

    Label3 = new QLabel(this);
    Label3->setObjectName(u"Label3"_s);
    Button1 = new QPushButton(u"Открыть протокол"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button2 = new QPushButton(u"Закрыть"_s, this);
    Button2->setObjectName(u"Button2"_s);
    for (QPushButton *button : { Button1, Button2 }) {
        button->setFixedSize(ButtonSize);
        button->setAutoDefault(false);
    }
    connect(Button1, &QPushButton::clicked, this, &TArchiveForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TArchiveForm::reject);
}

void TArchiveForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnOwner(*this);
        FormShow();
    }
}

void TArchiveForm::FormShow()
{
    // The period proposed is the last month; the list shows everything
    // until the operator turns the period on.
    const QDate today = environment_.Now().date();
    const QSignalBlocker fromBlocker(dtpFrom);
    const QSignalBlocker toBlocker(dtpTo);
    if (!chkPeriod->isChecked()) {
        dtpFrom->setDate(today.addDays(-DefaultPeriodDays));
        dtpTo->setDate(today);
    }
    const StoreStatus opened = archive_.Open(false);
    if (!opened.Ok())
        ShowWarning(u"Архив проверок недоступен.\r"_s + opened.error);
    ApplyFilter();
    edtNumber->setFocus();
}

void TArchiveForm::done(int result)
{
    archive_.Close();
    QDialog::done(result);
}

void TArchiveForm::ApplyFilter()
{
    InspectionFilter filter;
    filter.numberPart = edtNumber->text();
    if (chkPeriod->isChecked()) {
        filter.from = dtpFrom->date();
        filter.to = dtpTo->date();
    }
    const StoreStatus listed = model_->SetFilter(filter);
    if (!listed.Ok()) {
        ShowStatus(listed.error, true);
    } else {
        ShowStatus(u"Найдено проверок: %1"_s.arg(model_->TotalCount()), false);
        if (model_->rowCount() > 0)
            grdInspections->selectRow(0);
    }
    Button1->setEnabled(model_->rowCount() > 0);
}

void TArchiveForm::ShowStatus(const QString &text, bool failure)
{
    // One line: a database's text may run over several.
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    Label3->setText(line);
    Label3->setToolTip(failure ? text : QString());
    // A failure in red; otherwise the window's own colours.
    QPalette palette;
    if (failure)
        palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    Label3->setPalette(palette);
}

void TArchiveForm::ShowWarning(const QString &text)
{
    dialogs_.Message(this, ProgramName, text, UserDialogs::Icon::Warning, UserDialogs::Ok);
}

void TArchiveForm::Button1Click()
{
    const QModelIndexList selected = grdInspections->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        OpenInspection(selected.constFirst().row());
}

void TArchiveForm::OpenInspection(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    const qint64 id = model_->EntryAt(row).ID;
    const StoreAnswer<std::optional<InspectionRecord>> loaded = archive_.Load(id);
    if (!loaded.Ok()) {
        ShowWarning(u"Проверка не прочитана из архива.\r"_s + loaded.error);
        return;
    }
    if (!loaded.value) {
        ShowWarning(u"Этой проверки больше нет в архиве: её удалили с другого места."_s);
        ApplyFilter();
        return;
    }
    reportSource_.SetInspection(*loaded.value);
    reportWindow_->SetReportData(loaded.value->vehicle);
    dialogs_.ExecModal(*reportWindow_);
}

void actArchiveExecute(UserDialogs &dialogs, TArchiveForm &form)
{
    dialogs.ExecModal(form);
}

} // namespace kavro
