#include "ui/categoryform.h"

#include "inspection/vehiclecategory.h"
#include "platform/userdialogs.h"
#include "ui/radiogroup.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr QSize ClientSize(393, 287);
constexpr int DateItemAfter1986 = 1;

QFont DialogFont()
{
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s });
    font.setPixelSize(11);
    return font;
}

} // namespace

TCategoryForm::TCategoryForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(u"TCategoryForm"_s);
    setWindowTitle(u"Тип автомобиля"_s);
    setFixedSize(ClientSize);
    setFont(DialogFont());

    RadioGroup1 = new RadioGroup(u"RadioGroup1"_s, u" Дата производства автомобиля"_s,
        { u"До 01.10.1986г."_s, u"После 01.10.1986г."_s }, 2, this);
    RadioGroup1->setGeometry(8, 6, 377, 52);
    RadioGroup2 = new RadioGroup(u"RadioGroup2"_s, u" Категория по ГОСТ Р 51709-2001 "_s,
        { u"M1"_s, u"M2"_s, u"M3"_s, u"N1"_s, u"N2"_s, u"N3"_s }, 2, this);
    RadioGroup2->setGeometry(8, 64, 200, 96);
    RadioGroup3 = new RadioGroup(u"RadioGroup3"_s, u" Система нейтрализации "_s,
        { u"Отсутствует"_s, u"Двухкомпонентная"_s, u"Трехкомпонентная"_s }, 1, this);
    RadioGroup3->setGeometry(216, 64, 169, 96);

    auto *description = new QGroupBox(u" Описание категории "_s, this);
    description->setObjectName(u"GroupBox1"_s);
    description->setGeometry(8, 166, 377, 80);
    GroupBox1 = description;
    Label1 = new QLabel(description);
    Label1->setObjectName(u"Label1"_s);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *descriptionLayout = new QVBoxLayout(description);
    descriptionLayout->addWidget(Label1);

    Button1 = new QPushButton(u"Готово"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(229, 254, 75, 25);
    Button2 = new QPushButton(u"Отмена"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->setGeometry(310, 254, 75, 25);

    connect(RadioGroup1, &RadioGroup::Click, this, &TCategoryForm::RadioGroup1Click);
    connect(RadioGroup2, &RadioGroup::Click, this, &TCategoryForm::RadioGroup2Click);
    connect(RadioGroup3, &RadioGroup::Click, this, &TCategoryForm::RadioGroup3Click);
    connect(Button1, &QPushButton::clicked, this, &TCategoryForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TCategoryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TCategoryForm::FormShow()
{
    const CategoryChoice choice = DecodeVehicleCategory(categoryCode_);
    // Start from no selection, so that the date's handler runs in any case.
    RadioGroup1->SetItemIndex(-1);
    RadioGroup1->SetItemIndex(choice.MadeAfter1986 ? DateItemAfter1986 : 0);
    if (choice.MadeAfter1986) {
        RadioGroup2->SetItemIndex(choice.CategoryItem);
        RadioGroup3->SetItemIndex(choice.AfterTreatmentItem);
    }
}

void TCategoryForm::RadioGroup1Click()
{
    const bool after1986 = RadioGroup1->ItemIndex() == DateItemAfter1986;
    RadioGroup2->setEnabled(after1986);
    RadioGroup3->setEnabled(after1986);
    Label1->clear();
    RadioGroup2->SetItemIndex(-1);
    RadioGroup3->SetItemIndex(-1);
    Button1->setEnabled(!after1986);
}

void TCategoryForm::RadioGroup2Click()
{
    Label1->setText(CategoryDescription(RadioGroup2->ItemIndex()));
    Button1->setEnabled(RadioGroup3->ItemIndex() >= 0);
}

void TCategoryForm::RadioGroup3Click()
{
    Button1->setEnabled(RadioGroup2->ItemIndex() >= 0);
}

void TCategoryForm::Button1Click()
{
    const bool after1986 = RadioGroup1->ItemIndex() == DateItemAfter1986;
    const int code
        = EncodeVehicleCategory({ after1986, RadioGroup2->ItemIndex(), RadioGroup3->ItemIndex() });
    if (code == VehicleCode::NotChosen)
        return; // "Готово" is disabled then; nothing half-chosen is confirmed
    categoryCode_ = code;
    accept();
}

void TCategoryForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) { // FormKeyPress, character 27
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<int> ChooseVehicleCategory(UserDialogs &dialogs, QWidget *parent, int code)
{
    TCategoryForm form(parent);
    form.SetCategoryCode(code);
    if (dialogs.ExecModal(form) != QDialog::Accepted)
        return std::nullopt;
    return form.CategoryCode();
}

} // namespace kavro
