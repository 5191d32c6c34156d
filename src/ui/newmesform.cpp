#include "ui/newmesform.h"

#include "compute/quantities.h"
#include "inspection/measurementhost.h"
#include "ui/dialogfont.h"
#include "ui/noticeplacement.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr int ClientWidth = 393;
constexpr int Margin = 8;
constexpr int InnerWidth = ClientWidth - 2 * Margin;
constexpr QRect HeadingRect(0, 0, ClientWidth, 33);
constexpr QRect InstructionRect(Margin, 39, InnerWidth, 30);
constexpr QRect SettleHintRect(Margin, 71, InnerWidth, 30);
constexpr QRect ReadingsGroupRect(Margin, 105, InnerWidth, 176);
constexpr int FirstFieldTop = 20;
constexpr int FieldPitch = 25;
constexpr QSize FieldSize(72, 21);
constexpr QRect KindGroupRect(Margin, 287, InnerWidth, 46);
constexpr QSize ButtonSize(75, 25);
constexpr int ButtonTop = 341;
constexpr QSize ClientSize(ClientWidth, ButtonTop + ButtonSize.height() + Margin);
// The verdict line takes the buttons' place; they and the dialog's bottom
// move down by its height.
constexpr QRect VerdictRect(Margin, ButtonTop, InnerWidth, 20);
constexpr int VerdictShift = VerdictRect.height() + 6;
const QColor PassedColour(0x00, 0x80, 0x00);
const QColor FailedColour(0xC0, 0x00, 0x00);

// The fields in the order shown, with the quantity each shows.
struct Field
{
    int quantity;
    QString label;
};
const std::array<Field, 6> Fields { {
    { qnCH, u"Сумма углеводородов СН, ppm"_s },
    { qnCO, u"Оксид углерода СО, %"_s },
    { qnCO2, u"Двуокись углерода СО2, %"_s },
    { qnO2, u"Кислород O2, %"_s },
    { qnLambda, u"Коэффициент сгорания газа λ"_s },
    { qnEngineSpeed, u"Тахометр, об/мин."_s },
} };

} // namespace

TNewMesForm::TNewMesForm(MeasurementHost &host, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
    , host_(host)
    , procedure_(host)
{
    setObjectName(u"TNewMesForm"_s);
    setWindowTitle(u"Новое измерение"_s);
    setModal(false);
    setFixedSize(ClientSize);
    setFont(DialogFont(11));

    Panel1 = new QLabel(this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setGeometry(HeadingRect);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFont(DialogFont(15, true));

    Label2 = new QLabel(this);
    Label2->setObjectName(u"Label2"_s);
    Label2->setGeometry(InstructionRect);
    Label2->setWordWrap(true);

    Label1 = new QLabel(
        u"Когда показания примут установившиеся значения, нажмите кнопку \"Запомнить\""_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(SettleHintRect);
    Label1->setWordWrap(true);

    CreateFields();

    GroupBox2 = new QGroupBox(u" Вид измерения "_s, this);
    GroupBox2->setObjectName(u"GroupBox2"_s);
    GroupBox2->setGeometry(KindGroupRect);
    RadioButton1 = new QRadioButton(u"До регулировки"_s, GroupBox2);
    RadioButton1->setObjectName(u"RadioButton1"_s);
    RadioButton1->setGeometry(12, 19, 150, 19);
    RadioButton2 = new QRadioButton(u"После регулировки"_s, GroupBox2);
    RadioButton2->setObjectName(u"RadioButton2"_s);
    RadioButton2->setGeometry(InnerWidth / 2, 19, 150, 19);
    RadioButton2->setChecked(true);

    Button1 = new QPushButton(u"Запомнить"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button2 = new QPushButton(u"Отмена"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Label9 = new QLabel(this);
    Label9->setObjectName(u"Label9"_s);
    Label9->setGeometry(VerdictRect);
    Label9->setFont(DialogFont(11, true));
    Label9->hide();
    PlaceButtons();
    connect(Button1, &QPushButton::clicked, this, &TNewMesForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TNewMesForm::Button2Click);

    // Every way of closing (Esc, "Отмена", the close box, a completed
    // measurement) ends in finished().
    connect(this, &QDialog::finished, this, &TNewMesForm::FormClose);

    // The instruction needs the vehicle's limits; it is written when the dialog is shown.
    Panel1->setText(procedure_.PhaseHeading());
}

void TNewMesForm::CreateFields()
{
    GroupBox1 = new QGroupBox(u" Текущие показания "_s, this);
    GroupBox1->setObjectName(u"GroupBox1"_s);
    GroupBox1->setGeometry(ReadingsGroupRect);

    std::array<QLineEdit **, 6> edits { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6 };
    const int fieldLeft = ReadingsGroupRect.width() - 12 - FieldSize.width();
    for (std::size_t index = 0; index < Fields.size(); ++index) {
        const int top = FirstFieldTop + int(index) * FieldPitch;
        QLineEdit *edit = new QLineEdit(u"0"_s, GroupBox1);
        edit->setObjectName(u"Edit%1"_s.arg(index + 1));
        edit->setGeometry(QRect(QPoint(fieldLeft, top), FieldSize));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignRight);
        *edits[index] = edit;

        QLabel *label = new QLabel(Fields[index].label, GroupBox1);
        label->setObjectName(u"Label%1"_s.arg(index + 3));
        label->setGeometry(12, top, fieldLeft - 12 - Margin, FieldSize.height());
        label->setBuddy(edit);
        FieldLabels[index] = label;
    }
}

void TNewMesForm::ShowReading(int quantity, const QString &text)
{
    if (!isVisible())
        return;
    const std::array<QLineEdit *, 6> edits { Edit1, Edit2, Edit3, Edit4, Edit5, Edit6 };
    for (std::size_t index = 0; index < Fields.size(); ++index) {
        if (Fields[index].quantity == quantity)
            edits[index]->setText(text);
    }
}

void TNewMesForm::ResetForNewVehicle()
{
    procedure_.ResetForNewVehicle();
    HideVerdict();
}

void TNewMesForm::ShowVerdict(const InspectionVerdict &verdict)
{
    QPalette palette = Label9->palette();
    palette.setColor(QPalette::WindowText, verdict.passed ? PassedColour : FailedColour);
    Label9->setPalette(palette);
    Label9->setText(
        Label9->fontMetrics().elidedText(verdict.Line(), Qt::ElideRight, VerdictRect.width()));
    Label9->setToolTip(verdict.reasons.join(u'\n'));
    Label9->show();
    PlaceButtons();
}

void TNewMesForm::HideVerdict()
{
    Label9->hide();
    Label9->clear();
    Label9->setToolTip({});
    PlaceButtons();
}

void TNewMesForm::PlaceButtons()
{
    const int top = ButtonTop + (Label9->isHidden() ? 0 : VerdictShift);
    Button1->setGeometry(
        QRect(QPoint(ClientWidth - Margin - 2 * ButtonSize.width() - Margin, top), ButtonSize));
    Button2->setGeometry(QRect(QPoint(ClientWidth - Margin - ButtonSize.width(), top), ButtonSize));
    setFixedSize(ClientSize.width(), ClientSize.height() + top - ButtonTop);
}

void TNewMesForm::Button1Click()
{
    const AdjustmentKind adjustment
        = RadioButton2->isChecked() ? AfterAdjustment : BeforeAdjustment;
    if (procedure_.Remember(adjustment)) {
        accept();
        Q_EMIT MeasurementCompleted();
        return;
    }
    ShowPhase();
    // The choice made for minimum idle holds for increased idle.
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);
}

void TNewMesForm::Button2Click()
{
    reject();
}

void TNewMesForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TNewMesForm::FormShow()
{
    CentreOnOwner(*this);
    procedure_.Start();
    ShowPhase();
    RadioButton1->setEnabled(true);
    RadioButton2->setEnabled(true);
    RadioButton2->setChecked(true);
    Button1->setFocus();
}

void TNewMesForm::FormClose()
{
    host_.MeasurementDialogClosed();
}

void TNewMesForm::ShowPhase()
{
    Panel1->setText(procedure_.PhaseHeading());
    Label2->setText(procedure_.Instruction());
}

} // namespace kavro
