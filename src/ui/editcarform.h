#pragma once

#include "inspection/vehiclerecord.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kavro {

class UserDialogs;
class VehicleNumberModel;
class VehicleStore;

// The vehicle dialog "Сведения об автомобиле": the operator picks a vehicle of
// the register or types a new one, chooses its category, and "Готово" stores
// it (updating a known number, adding a new one after asking). After "OK"
// Vehicle() holds what was entered, for the registration.
//
// Every showing reopens the register and reloads both lists. If the register
// cannot be opened, the dialog still opens, with empty lists, after the
// operator has been told why; "Готово" then refuses to register until an
// opening succeeds. Each write is one statement, so a failed one leaves
// nothing pending: the dialog stays open with its fields, and the next
// "Готово" starts over.
class TEditCarForm : public QDialog
{
    Q_OBJECT

public:
    // Shows the category dialog with currentCode; the chosen code after its
    // "Готово", nothing when it was cancelled.
    using CategoryChooser = std::function<std::optional<int>(QWidget *parent, int currentCode)>;

    TEditCarForm(VehicleStore &store, UserDialogs &dialogs, CategoryChooser chooseCategory,
        QWidget *parent = nullptr);

    // The vehicle as entered; complete after the dialog closed with "OK".
    const VehicleRecord &Vehicle() const { return vehicle_; }
    // The VehicleCategory being edited, -1 while none is chosen.
    int CategoryCode() const { return categoryCode_; }

    void FormShow();
    void cbFederalNumberChange(int index);
    void Button1Click();
    void BitBtn1Click();

    QGroupBox *GroupBox1;
    QComboBox *cbFederalNumber;
    QLineEdit *edtRegion;
    QComboBox *cbMark;
    QPushButton *Button1;
    QGroupBox *GroupBox2;
    QLineEdit *edtTName;
    QLineEdit *edtFName;
    QLineEdit *edtSName;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateVehicleGroup();
    void CreateOwnerGroup();
    void CreateButtons();
    QLabel *AddLabel(QWidget *field, const QString &caption, QRect geometry);
    void WatchKeys();
    bool FormKeyPress(const QKeyEvent &key);
    bool edtRegionKeyPress(const QKeyEvent &key);
    bool edtRegionKeyDown(const QKeyEvent &key);

    void ClearVehicleFields();
    bool ValidateFields();
    // Looks the number up and updates its row, or adds a new row if the
    // operator wants it. Failed: the operator has been told the database's
    // error and nothing may be registered.
    enum class Stored { Written, NotWanted, Failed };
    Stored StoreVehicle();
    VehicleRecord EnteredVehicle() const;
    void Warn(const QString &text);
    void ReportDatabaseError(const QString &text);

    VehicleStore &store_;
    UserDialogs &dialogs_;
    CategoryChooser chooseCategory_;
    VehicleNumberModel *numbers_;
    int categoryCode_ = VehicleRecord::NoCategory;
    VehicleRecord vehicle_;
};

} // namespace kavro
