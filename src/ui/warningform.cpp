#include "ui/warningform.h"

#include "platform/programname.h"
#include "ui/noticeplacement.h"

#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QLabel>

using namespace Qt::StringLiterals;

// Resources of a static library are registered explicitly (outside any namespace).
static void InitNoticeResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace kavro {

namespace {
constexpr QSize ClientSize(483, 54);
constexpr QRect ImageRect(8, 11, 32, 32);
constexpr int TextLeft = 46;
constexpr int TextPixelSize = 11;
constexpr int LineHeight = 17;
} // namespace

TWarningForm::TWarningForm(QWidget *owner)
    : QDialog(owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    InitNoticeResources();
    setObjectName(u"TWarningForm"_s);
    setWindowTitle(ProgramName);
    setFixedSize(ClientSize);

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(ImageRect);
    Image1->setPixmap(QIcon(u":/icons/warning.svg"_s).pixmap(ImageRect.size()));

    // Tahoma where it is installed; otherwise a face of the same width class.
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Arial"_s, u"Liberation Sans"_s });
    font.setPixelSize(TextPixelSize);

    const int textWidth = ClientSize.width() - TextLeft;
    const int top = (ClientSize.height() - 2 * LineHeight) / 2;
    Label1
        = new QLabel(u" Прибор требует технического обслуживания. Обратитесь к поставщику"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(TextLeft, top, textWidth, LineHeight);
    Label2 = new QLabel(
        u" Для продолжения работы нажмите нижнюю кнопку на лицевой панели прибора"_s, this);
    Label2->setObjectName(u"Label2"_s);
    Label2->setGeometry(TextLeft, top + LineHeight, textWidth, LineHeight);
    for (QLabel *label : { Label1, Label2 })
        label->setFont(font);
}

void TWarningForm::CloseByProgram()
{
    closingByProgram_ = true;
    close();
    closingByProgram_ = false;
}

void TWarningForm::reject()
{
    if (closingByProgram_)
        QDialog::reject();
}

void TWarningForm::showEvent(QShowEvent *event)
{
    CentreOnOwner(*this);
    QDialog::showEvent(event);
}

void TWarningForm::closeEvent(QCloseEvent *event)
{
    if (closingByProgram_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace kavro
