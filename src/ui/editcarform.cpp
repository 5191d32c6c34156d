#include "ui/editcarform.h"

#include "inspection/vehiclestore.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/noticeplacement.h"
#include "ui/vehiclenumbermodel.h"

#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr QSize ClientSize(393, 290);
constexpr QRect VehicleGroupGeometry(8, 8, 377, 114);
constexpr QRect OwnerGroupGeometry(8, 130, 377, 112);
constexpr int LabelLeft = 12;
constexpr int LabelWidth = 112;
constexpr int FieldLeft = 128;
constexpr int FieldWidth = 237;
constexpr int RowHeight = 22;
constexpr int FontPixelSize = 11;
constexpr int RegionDigits = 2;

const QString FillAllFields = u"Заполните все поля"_s;
const QString ChooseCategory = u"Выберите комплектацию автомобиля"_s;
const QString AddToRegister = u"Добавить информацию об автомобиле в базу данных?"_s;
const QString RegionNotWhole
    = u"Регион «%1» — не целое число.\rВведите в поле «Регион:» только цифры, например 77."_s;
const QString OpenedWithoutRegister
    = u"\r\rЗарегистрировать автомобиль можно будет, когда база данных откроется: она "
      u"открывается заново при каждом открытии этого окна."_s;
const QString ListsUnread = u"Не удалось прочитать список автомобилей из базы данных:\r%1"_s;
const QString VehicleUnread = u"Не удалось прочитать сведения об автомобиле из базы данных:\r%1"_s;
const QString RegisterClosed
    = u"Автомобиль не зарегистрирован: база данных автомобилей не открыта.\r%1"_s;
const QString NotStored = u"Не удалось сохранить сведения об автомобиле в базе данных; "
                          u"автомобиль не зарегистрирован.\r%1"_s;

QFont DialogFont()
{
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s });
    font.setPixelSize(FontPixelSize);
    return font;
}

QRect FieldRow(int top, int left = FieldLeft, int width = FieldWidth)
{
    return { left, top, width, RowHeight };
}

// The label beside a field of the row whose field starts at fieldTop.
QRect LabelRow(int fieldTop, int left = LabelLeft, int width = LabelWidth)
{
    return { left, fieldTop + 4, width, 14 };
}

// A combo box with free text whose list comes from the register.
QComboBox *FreeTextComboBox(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // No pass over every item to size the box (100,000 numbers at a busy
    // station): the dialog gives it its size.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto *list = qobject_cast<QListView *>(combo->view()))
        list->setUniformItemSizes(true);
    // A number is looked up by its exact text, so completion and the match
    // made on leaving the field respect case as well.
    combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    return combo;
}

QLineEdit *Edit(const QString &name, QRect geometry, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

bool IsWholeNumber(const QString &text, int &value)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    bool fits = false;
    value = text.toInt(&fits);
    return fits;
}

} // namespace

TEditCarForm::TEditCarForm(
    VehicleStore &store, UserDialogs &dialogs, CategoryChooser chooseCategory, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , store_(store)
    , dialogs_(dialogs)
    , chooseCategory_(std::move(chooseCategory))
    , numbers_(new VehicleNumberModel(this))
{
    setObjectName(u"TEditCarForm"_s);
    setWindowTitle(u"Сведения об автомобиле"_s);
    setModal(true);
    setFixedSize(ClientSize);
    setFont(DialogFont());

    CreateVehicleGroup();
    CreateOwnerGroup();
    CreateButtons();
    setTabOrder(cbFederalNumber, edtRegion);
    setTabOrder(edtRegion, cbMark);
    setTabOrder(cbMark, Button1);
    setTabOrder(Button1, edtTName);
    setTabOrder(edtTName, edtFName);
    setTabOrder(edtFName, edtSName);
    setTabOrder(edtSName, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    WatchKeys();
}

QLabel *TEditCarForm::AddLabel(QWidget *field, const QString &caption, QRect geometry)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setObjectName(field->objectName() + u"Label"_s);
    label->setGeometry(geometry);
    label->setBuddy(field);
    return label;
}

void TEditCarForm::CreateVehicleGroup()
{
    GroupBox1 = new QGroupBox(u" Сведения об автомобиле: "_s, this);
    GroupBox1->setObjectName(u"GroupBox1"_s);
    GroupBox1->setGeometry(VehicleGroupGeometry);

    cbFederalNumber = FreeTextComboBox(u"cbFederalNumber"_s, GroupBox1);
    cbFederalNumber->setModel(numbers_);
    cbFederalNumber->setGeometry(FieldRow(20, FieldLeft, 129));
    AddLabel(cbFederalNumber, u"Федеральный номер "_s, LabelRow(20));
    connect(cbFederalNumber, &QComboBox::activated, this, &TEditCarForm::cbFederalNumberChange);

    edtRegion = Edit(u"edtRegion"_s, FieldRow(20, 318, 47), GroupBox1);
    AddLabel(edtRegion, u"Регион:"_s, LabelRow(20, 270, 44));

    cbMark = FreeTextComboBox(u"cbMark"_s, GroupBox1);
    cbMark->setGeometry(FieldRow(48));
    AddLabel(cbMark, u"Марка:"_s, LabelRow(48));

    Button1 = new QPushButton(u"Выбрать комплектацию"_s, GroupBox1);
    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(215, 78, 150, 26);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TEditCarForm::Button1Click);
}

void TEditCarForm::CreateOwnerGroup()
{
    GroupBox2 = new QGroupBox(u" Сведения о владельце "_s, this);
    GroupBox2->setObjectName(u"GroupBox2"_s);
    GroupBox2->setGeometry(OwnerGroupGeometry);

    edtTName = Edit(u"edtTName"_s, FieldRow(22), GroupBox2);
    AddLabel(edtTName, u"Фамилия"_s, LabelRow(22));
    edtFName = Edit(u"edtFName"_s, FieldRow(50), GroupBox2);
    AddLabel(edtFName, u"Имя"_s, LabelRow(50));
    edtSName = Edit(u"edtSName"_s, FieldRow(78), GroupBox2);
    AddLabel(edtSName, u"Отчество"_s, LabelRow(78));
}

void TEditCarForm::CreateButtons()
{
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), u"Готово"_s, this);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn1->setGeometry(212, 252, 83, 28);
    connect(BitBtn1, &QPushButton::clicked, this, &TEditCarForm::BitBtn1Click);

    BitBtn2
        = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), u"Отмена"_s, this);
    BitBtn2->setObjectName(u"BitBtn2"_s);
    BitBtn2->setGeometry(302, 252, 83, 28);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    // Enter is "Готово" wherever the focus is (FormKeyPress), not the click
    // of a default button.
    for (QPushButton *button : { BitBtn1, BitBtn2 })
        button->setAutoDefault(false);
}

// The dialog sees every key before the control that has the focus.
void TEditCarForm::WatchKeys()
{
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void TEditCarForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        CentreOnOwner(*this);
        FormShow();
        cbFederalNumber->setFocus();
    }
    QDialog::showEvent(event);
}

void TEditCarForm::FormShow()
{
    vehicle_ = {};
    numbers_->Reset({});
    cbMark->clear();
    QString problem;
    if (const StoreStatus opened = store_.Open(); !opened.Ok()) {
        problem = opened.error + OpenedWithoutRegister;
    } else {
        StoreAnswer<QList<CarListEntry>> numbers = store_.AllNumbers();
        const StoreAnswer<QStringList> marks = store_.DistinctMarks();
        numbers_->Reset(std::move(numbers.value));
        cbMark->addItems(marks.value);
        if (!numbers.Ok() || !marks.Ok())
            problem = ListsUnread.arg(numbers.Ok() ? marks.error : numbers.error);
    }
    cbFederalNumber->setCurrentIndex(-1);
    cbFederalNumber->clearEditText();
    ClearVehicleFields();
    // Told once the dialog is on the screen, so the box stands over it.
    if (!problem.isEmpty())
        QTimer::singleShot(0, this, [this, problem] { ReportDatabaseError(problem); });
}

void TEditCarForm::ClearVehicleFields()
{
    edtRegion->clear();
    cbMark->setCurrentIndex(-1);
    cbMark->clearEditText();
    edtTName->clear();
    edtFName->clear();
    edtSName->clear();
    categoryCode_ = VehicleRecord::NoCategory;
}

void TEditCarForm::cbFederalNumberChange(int index)
{
    if (index < 0 || index >= numbers_->rowCount())
        return;
    const StoreAnswer<std::optional<CarRow>> found = store_.FindById(numbers_->IdAt(index));
    if (!found.Ok()) {
        ReportDatabaseError(VehicleUnread.arg(found.error));
        return;
    }
    if (!found.value) {
        ClearVehicleFields();
        return;
    }
    const CarRow &row = *found.value;
    edtRegion->setText(row.Region);
    cbMark->setEditText(row.Mark);
    edtTName->setText(row.OwnerTName);
    edtFName->setText(row.OwnerFName);
    edtSName->setText(row.OwnerSName);
    categoryCode_ = row.CarCategory;
}

void TEditCarForm::Button1Click()
{
    if (const std::optional<int> chosen = chooseCategory_(this, categoryCode_))
        categoryCode_ = *chosen;
}

void TEditCarForm::BitBtn1Click()
{
    const QString texts[] = { cbFederalNumber->currentText(), cbMark->currentText(),
        edtTName->text(), edtFName->text(), edtSName->text(), edtRegion->text() };
    if (std::all_of(
            std::begin(texts), std::end(texts), [](const QString &t) { return t.isEmpty(); })) {
        reject();
        return;
    }
    if (!ValidateFields())
        return;
    const Stored stored = StoreVehicle();
    if (stored == Stored::Failed)
        return;
    vehicle_ = EnteredVehicle();
    accept();
}

bool TEditCarForm::ValidateFields()
{
    if (cbFederalNumber->currentText().isEmpty() || cbMark->currentText().isEmpty()
        || edtTName->text().isEmpty() || edtRegion->text().isEmpty()) {
        Warn(FillAllFields);
        return false;
    }
    // Pasted text passes the key rules; the registration needs a number.
    int region = 0;
    if (!IsWholeNumber(edtRegion->text(), region)) {
        Warn(RegionNotWhole.arg(edtRegion->text()));
        return false;
    }
    if (categoryCode_ == VehicleRecord::NoCategory) {
        Warn(ChooseCategory);
        return false;
    }
    return true;
}

TEditCarForm::Stored TEditCarForm::StoreVehicle()
{
    if (!store_.IsOpen()) {
        ReportDatabaseError(RegisterClosed.arg(store_.OpenError()));
        return Stored::Failed;
    }
    const QString number = cbFederalNumber->currentText();
    const StoreAnswer<std::optional<CarRow>> found = store_.FindFirstByNumber(number);
    if (!found.Ok()) {
        ReportDatabaseError(NotStored.arg(found.error));
        return Stored::Failed;
    }
    if (!found.value
        && dialogs_.Message(this, ProgramName, AddToRegister, UserDialogs::Icon::Question,
               UserDialogs::Yes | UserDialogs::No)
            != UserDialogs::Yes)
        return Stored::NotWanted;

    CarRow row { found.value ? found.value->ID : 0, number, edtRegion->text(),
        cbMark->currentText(), edtTName->text(), edtFName->text(), edtSName->text(),
        categoryCode_ };
    const StoreStatus written = found.value ? store_.Update(row) : store_.Append(row);
    if (!written.Ok()) {
        ReportDatabaseError(NotStored.arg(written.error));
        return Stored::Failed;
    }
    return Stored::Written;
}

VehicleRecord TEditCarForm::EnteredVehicle() const
{
    return { cbFederalNumber->currentText(), edtRegion->text().toInt(), cbMark->currentText(),
        edtTName->text(), edtFName->text(), edtSName->text(), categoryCode_ };
}

void TEditCarForm::Warn(const QString &text)
{
    dialogs_.Message(this, ProgramName, text, UserDialogs::Icon::Warning, UserDialogs::Ok);
}

void TEditCarForm::ReportDatabaseError(const QString &text)
{
    dialogs_.Message(this, ProgramName, text, UserDialogs::Icon::Error, UserDialogs::Ok);
}

bool TEditCarForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (FormKeyPress(key))
        return true;
    if (watched == edtRegion && (edtRegionKeyDown(key) || edtRegionKeyPress(key)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TEditCarForm::FormKeyPress(const QKeyEvent &key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        BitBtn1Click();
        return true;
    }
    if (key.key() == Qt::Key_Escape) {
        BitBtn2->click();
        return true;
    }
    return false;
}

// The Delete key empties the whole field.
bool TEditCarForm::edtRegionKeyDown(const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Delete)
        return false;
    edtRegion->clear();
    return true;
}

// Typed characters: digits only, and no more than two. Backspace, cursor
// keys and shortcuts (paste among them) pass.
bool TEditCarForm::edtRegionKeyPress(const QKeyEvent &key)
{
    const QString text = key.text();
    if (text.isEmpty() || !text.front().isPrint()
        || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const bool digit = text.size() == 1 && text.front() >= u'0' && text.front() <= u'9';
    return !digit || edtRegion->text().size() >= RegionDigits;
}

} // namespace kavro
