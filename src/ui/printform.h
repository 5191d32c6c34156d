#pragma once

#include "inspection/reportfilling.h"
#include "rtf/rtfreader.h"

#include <QDialog>
#include <memory>

class QPushButton;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace kavro {

class AppEnvironment;
class ReportSource;
class UserDialogs;

// The report window "Подготовка к печати": each time it is shown it loads
// "template.rtf" from the program folder, fills its tags with the vehicle's
// data, the stored measurement and the limits of the moment, previews it in
// RTB and prints it on the printer the operator chooses, or saves it as a PDF
// file. Shown modally. Over an inspection from the archive (a source with a
// stored date and template) it shows that inspection as it was.
class TPrintForm : public QDialog
{
    Q_OBJECT

public:
    TPrintForm(UserDialogs &dialogs, AppEnvironment &environment, const ReportSource &source,
        QWidget *parent = nullptr);
    ~TPrintForm() override;

    // The registered vehicle; also sets the caption "КАВРО-02 - " + number.
    void SetReportData(const VehicleRecord &vehicle);
    const VehicleRecord &ReportData() const { return vehicle_; }

    QWidget *Panel1; // holds the preview; stretches with the window
    QTextEdit *RTB; // the preview, read-only
    QPushButton *Button1; // "Печать"
    QPushButton *Button2; // "Отмена"
    QPushButton *Button3; // "Сохранить PDF…", usable when the report is filled

public Q_SLOTS:
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PlaceChildren(QSize size);
    void FormShow();
    void ShowDocument(std::unique_ptr<QTextDocument> document, const RtfPageLayout &page);
    void RefusePrinting(const QString &message);
    void ShowWarning(const QString &text);
    // Printing and saving go together: never for a report that did not fill.
    void SetReportUsable(bool usable);

    UserDialogs &dialogs_;
    AppEnvironment &environment_;
    const ReportSource &source_;
    VehicleRecord vehicle_;
    RtfPageLayout page_; // of the document in RTB
    QDateTime filledAt_; // the date the filled report gives
};

// The handler of actPrint: the report window, modally.
void actPrintExecute(UserDialogs &dialogs, TPrintForm &form);

} // namespace kavro
