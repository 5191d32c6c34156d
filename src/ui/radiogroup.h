#pragma once

#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QRadioButton;

namespace kavro {

// A titled group of radio items in one or more columns (filled column by
// column) whose selection may also be empty.
class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString &name, const QString &title, const QStringList &items, int columns,
        QWidget *parent);

    // The selected item, -1 for none.
    int ItemIndex() const;
    // Selects an item; an index that names no item clears the selection.
    void SetItemIndex(int index);
    QRadioButton *Item(int index) const;
    int Count() const { return int(items_.size()); }

Q_SIGNALS:
    // An item has become selected, by the operator or by SetItemIndex.
    void Click();

private:
    QButtonGroup *group_;
    QList<QRadioButton *> items_;
};

} // namespace kavro
