#pragma once

#include "inspection/archivedreportsource.h"
#include "inspection/inspectionarchive.h"
#include "inspection/inspectionlistmodel.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kavro {

class AppEnvironment;
class TPrintForm;
class UserDialogs;

// The inspection archive window "Архив проверок": the stored inspections,
// newest first, filtered by part of the registration number and by a period
// of days. "Открыть протокол" (or a double click, or Enter) shows the chosen
// inspection's report in a report window of its own, with the stored date,
// limits, verdict and template, for preview, printing or a PDF file. The
// list reads a page at a time, so it opens as quickly on a busy station's
// archive as on an empty one.
class TArchiveForm : public QDialog
{
    Q_OBJECT

public:
    TArchiveForm(UserDialogs &dialogs, AppEnvironment &environment, QWidget *parent = nullptr);
    ~TArchiveForm() override;

    InspectionListModel &Model() { return *model_; }
    // The report window the inspections are shown in.
    TPrintForm &ReportWindow() { return *reportWindow_; }
    // Shows the report of the inspection in the list's row.
    void OpenInspection(int row);

    QLabel *Label1; // "Регистрационный знак:"
    QLineEdit *edtNumber;
    QCheckBox *chkPeriod; // "Период с"
    QDateEdit *dtpFrom;
    QLabel *Label2; // "по"
    QDateEdit *dtpTo;
    QTableView *grdInspections;
    QLabel *Label3; // how many inspections pass the filter, or why none can be read
    QPushButton *Button1; // "Открыть протокол"
    QPushButton *Button2; // "Закрыть"

public Q_SLOTS:
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void CreateFilters();
    void CreateList();
    void FormShow();
    void ApplyFilter();
    void ShowStatus(const QString &text, bool failure);
    void ShowWarning(const QString &text);

    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    InspectionArchive archive_;
    InspectionListModel *model_;
    ArchivedReportSource reportSource_;
    std::unique_ptr<TPrintForm> reportWindow_;
};

// The handler of actArchive: the archive window, modally.
void actArchiveExecute(UserDialogs &dialogs, TArchiveForm &form);

} // namespace kavro
