#include "support/operatorsteps.h"

#include "ui/categoryform.h"
#include "ui/editcarform.h"
#include "ui/radiogroup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace kavro::test {

namespace {

void ClickRadio(QRadioButton *item)
{
    if (item)
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
}

} // namespace

ScriptedDialogs::DialogHandler ChooseCategoryItems(
    int dateItem, int categoryItem, int treatmentItem)
{
    return [=](QDialog &dialog) {
        auto &form = static_cast<TCategoryForm &>(dialog);
        form.show();
        ClickRadio(form.RadioGroup1->Item(dateItem));
        if (dateItem == 1) {
            ClickRadio(form.RadioGroup2->Item(categoryItem));
            ClickRadio(form.RadioGroup3->Item(treatmentItem));
        }
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        form.hide();
        return form.result();
    };
}

ScriptedDialogs::DialogHandler EnterVehicle(const VehicleEntry &entry, ScriptedDialogs &dialogs)
{
    return [entry, &dialogs](QDialog &dialog) {
        auto &form = static_cast<TEditCarForm &>(dialog);
        form.show();
        form.cbFederalNumber->setEditText(entry.number);
        form.edtRegion->setText(entry.region);
        form.cbMark->setEditText(entry.make);
        form.edtTName->setText(entry.surname);
        form.edtFName->setText(entry.firstName);
        form.edtSName->setText(entry.patronymic);
        dialogs.dialogHandlers.prepend(
            ChooseCategoryItems(entry.dateItem, entry.categoryItem, entry.treatmentItem));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        form.setResult(QDialog::Rejected);
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        form.hide();
        return form.result();
    };
}

} // namespace kavro::test
