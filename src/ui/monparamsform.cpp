#include "ui/monparamsform.h"

#include "ui/noticeplacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr QSize ClientSize(220, 74);
constexpr int TextPixelSize = 11;
const QTime DefaultDuration(0, 10, 0);
} // namespace

TMonParamsForm::TMonParamsForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(u"TMonParamsForm"_s);
    setWindowTitle(u"Параметры режима слежения"_s);
    setFixedSize(ClientSize);
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Arial"_s, u"Liberation Sans"_s });
    font.setPixelSize(TextPixelSize);
    setFont(font);

    Label1 = new QLabel(u"Время измерений"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(8, 12, 100, 14);

    DateTimePicker1 = new QTimeEdit(DefaultDuration, this);
    DateTimePicker1->setObjectName(u"DateTimePicker1"_s);
    DateTimePicker1->setDisplayFormat(u"HH:mm:ss"_s);
    DateTimePicker1->setGeometry(116, 8, 96, 21);

    Button1 = new QPushButton(u"Начать"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(28, 41, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    Button2 = new QPushButton(u"Отмена"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->setGeometry(117, 41, 75, 25);
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // The dialog sees the keys before its controls do.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

qint64 TMonParamsForm::MonitoringDurationMs() const
{
    return QTime(0, 0).msecsTo(DateTimePicker1->time());
}

bool TMonParamsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            FormKeyPress(key);
            return true; // the control does not act on it as well
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMonParamsForm::FormKeyPress(int key)
{
    if (key == Qt::Key_Escape) {
        reject();
        return;
    }
    // A time typed but not yet taken over by the picker counts.
    DateTimePicker1->interpretText();
    accept();
}

void TMonParamsForm::showEvent(QShowEvent *event)
{
    CentreOnOwner(*this);
    QDialog::showEvent(event);
}

} // namespace kavro
