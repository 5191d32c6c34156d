#pragma once

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace kavro {

// The port choice dialog. It has no behaviour of its own: the caller presets
// the selected item, shows it modally and reads the selection afterwards,
// however the dialog was closed.
class TCOMSelectForm : public QDialog
{
    Q_OBJECT

public:
    explicit TCOMSelectForm(QWidget *parent = nullptr);

    // Index 0 to 3 of the selected item (COM1 to COM4), -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);

    QGroupBox *RadioGroup1;
    QPushButton *Button1;

private:
    QButtonGroup *items_;
};

} // namespace kavro
