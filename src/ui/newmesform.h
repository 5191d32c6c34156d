#pragma once

#include "inspection/measurementprocedure.h"
#include "inspection/verdict.h"

#include <QDialog>
#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kavro {

class MeasurementHost;

// The measurement dialog "Новое измерение": leads the operator through the
// test at minimum and then increased idle speed and stores the values the
// main window shows at each "Запомнить". Not modal; it stays on top while
// the main window goes on showing readings, also in its six fields.
class TNewMesForm : public QDialog
{
    Q_OBJECT

public:
    explicit TNewMesForm(MeasurementHost &host, QWidget *parent = nullptr);

    // The main window's text of a shown quantity while the dialog is visible:
    // CH in Edit1, CO in Edit2, CO2 in Edit3, O2 in Edit4, λ in Edit5, engine
    // speed in Edit6. Temperature (6) has no field.
    void ShowReading(int quantity, const QString &text);

    const MeasurementResults &Results() const { return procedure_.Results(); }
    IdlePhase CurrentPhase() const { return procedure_.CurrentPhase(); }

    // A new vehicle was registered: flags false, printing off, readings kept,
    // the verdict line hidden.
    void ResetForNewVehicle();

    // The verdict line (Label9) above the buttons: the verdict and its first
    // reason, green when the vehicle passed, red when not, every reason in
    // its tool tip. Hidden until a verdict is shown; the dialog grows by the
    // line while it is shown.
    void ShowVerdict(const InspectionVerdict &verdict);
    void HideVerdict();

    QLabel *Panel1;
    QLabel *Label2;
    QLabel *Label1;
    QGroupBox *GroupBox1; // " Текущие показания "
    std::array<QLabel *, 6> FieldLabels; // Label3 ... Label8, the labels of Edit1 ... Edit6
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QLineEdit *Edit5;
    QLineEdit *Edit6;
    QGroupBox *GroupBox2; // " Вид измерения "
    QRadioButton *RadioButton1; // "До регулировки"
    QRadioButton *RadioButton2; // "После регулировки"
    QPushButton *Button1; // "Запомнить"
    QPushButton *Button2; // "Отмена"
    QLabel *Label9; // the verdict line

Q_SIGNALS:
    // "Запомнить" completed a measurement (the dialog has closed); Results()
    // hold it.
    void MeasurementCompleted();

public Q_SLOTS:
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateFields();
    void FormShow();
    void FormClose();
    void ShowPhase();
    void PlaceButtons();

    MeasurementHost &host_;
    MeasurementProcedure procedure_;
};

} // namespace kavro
