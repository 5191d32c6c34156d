#include "ui/radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace kavro {

RadioGroup::RadioGroup(const QString &name, const QString &title, const QStringList &items,
    int columns, QWidget *parent)
    : QGroupBox(title, parent)
    , group_(new QButtonGroup(this))
{
    setObjectName(name);
    auto *grid = new QGridLayout(this);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int index = 0; index < items.size(); ++index) {
        auto *item = new QRadioButton(items[index], this);
        item->setObjectName(name + u"Item%1"_s.arg(index));
        group_->addButton(item, index);
        grid->addWidget(item, index % rows, index / rows);
        items_.append(item);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            Q_EMIT Click();
    });
}

int RadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index)
{
    if (QRadioButton *item = Item(index)) {
        item->setChecked(true);
        return;
    }
    // An exclusive group keeps one item checked; lift that to clear it.
    group_->setExclusive(false);
    if (QAbstractButton *checked = group_->checkedButton())
        checked->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton *RadioGroup::Item(int index) const
{
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

} // namespace kavro
