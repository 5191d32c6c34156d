#include "ui/comselectform.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr QSize ClientSize(274, 102);
constexpr QRect GroupGeometry(8, 6, 258, 52);
constexpr int TitleMargins = 16; // the style's indent and spacing around a group title
constexpr int ItemCount = 4;

// The small dialog font (Tahoma, 11 pixels); where Tahoma is missing its
// stand-in may be wider, and the group's title must still fit in full.
QFont TitleFittingFont(const QString &title)
{
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Liberation Sans"_s, u"DejaVu Sans"_s });
    for (int pixelSize = 11; pixelSize > 8; --pixelSize) {
        font.setPixelSize(pixelSize);
        if (QFontMetrics(font).horizontalAdvance(title) + TitleMargins <= GroupGeometry.width())
            break;
    }
    return font;
}
} // namespace

TCOMSelectForm::TCOMSelectForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , RadioGroup1(new QGroupBox(u" Укажите COM-порт, к которому подключен прибор "_s, this))
    , Button1(new QPushButton(u"ОК"_s, this))
    , items_(new QButtonGroup(this))
{
    setObjectName(u"TCOMSelectForm"_s);
    setWindowTitle(u"Выбор COM-порта"_s);
    setFixedSize(ClientSize);
    setFont(TitleFittingFont(RadioGroup1->title()));

    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    RadioGroup1->setGeometry(GroupGeometry);
    auto *columns = new QHBoxLayout(RadioGroup1);
    for (int index = 0; index < ItemCount; ++index) {
        auto *item = new QRadioButton(u"COM%1"_s.arg(index + 1), RadioGroup1);
        item->setObjectName(item->text());
        items_->addButton(item, index);
        columns->addWidget(item);
    }

    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(99, 68, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

int TCOMSelectForm::ItemIndex() const
{
    return items_->checkedId();
}

void TCOMSelectForm::SetItemIndex(int index)
{
    if (QAbstractButton *item = items_->button(index)) {
        item->setChecked(true);
        return;
    }
    // An exclusive group keeps one item checked; lift that to clear it.
    items_->setExclusive(false);
    if (QAbstractButton *checked = items_->checkedButton())
        checked->setChecked(false);
    items_->setExclusive(true);
}

} // namespace kavro
