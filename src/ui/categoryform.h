#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;

namespace kavro {

class RadioGroup;
class UserDialogs;

// The category dialog "Тип автомобиля": date of manufacture, category and
// after-treatment of a vehicle, encoded as a VehicleCategory code. The
// caller sets CategoryCode, shows the dialog modally and reads CategoryCode
// back after "Готово"; "Отмена" and Esc leave it unchanged.
class TCategoryForm : public QDialog
{
    Q_OBJECT

public:
    explicit TCategoryForm(QWidget *parent = nullptr);

    int CategoryCode() const { return categoryCode_; }
    void SetCategoryCode(int code) { categoryCode_ = code; }

    RadioGroup *RadioGroup1 = nullptr; // date of manufacture
    RadioGroup *RadioGroup2 = nullptr; // category M1 ... N3
    RadioGroup *RadioGroup3 = nullptr; // after-treatment
    QWidget *GroupBox1 = nullptr; // " Описание категории "
    QLabel *Label1 = nullptr; // the category's description
    QPushButton *Button1 = nullptr; // "Готово"
    QPushButton *Button2 = nullptr; // "Отмена"

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void RadioGroup1Click();
    void RadioGroup2Click();
    void RadioGroup3Click();
    void Button1Click();

    int categoryCode_ = -1;
};

// Shows the category dialog for code through dialogs; the chosen code after
// "Готово", nothing after "Отмена" or Esc.
std::optional<int> ChooseVehicleCategory(UserDialogs &dialogs, QWidget *parent, int code);

} // namespace kavro
