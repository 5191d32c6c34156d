#include "ui/serviceform.h"

#include "ui/noticeplacement.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr QSize ClientSize(439, 29);
constexpr int TextPixelSize = 19;
} // namespace

TServiceForm::TServiceForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"TServiceForm"_s);
    setFixedSize(ClientSize);

    Panel1 = new QLabel(u"Подождите, выполняется автонастройка прибора"_s, this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont font(u"Arial"_s);
    font.setPixelSize(TextPixelSize);
    Panel1->setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
}

void TServiceForm::showEvent(QShowEvent *event)
{
    CentreOnOwner(*this);
    QDialog::showEvent(event);
}

} // namespace kavro
