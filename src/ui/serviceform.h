#pragma once

#include <QDialog>

class QLabel;

namespace kavro {

// Shown while the instrument runs its automatic zero setting: a borderless
// strip on top of its owner, with no buttons; closing it hides it.
class TServiceForm : public QDialog
{
    Q_OBJECT

public:
    explicit TServiceForm(QWidget *owner);

    QLabel *Panel1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace kavro
