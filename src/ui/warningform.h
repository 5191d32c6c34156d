#pragma once

#include <QDialog>

class QLabel;

namespace kavro {

// The maintenance notice. The operator acknowledges it on the instrument's
// front panel, so the window cannot be closed from the program's side by
// the operator: only CloseByProgram closes it.
class TWarningForm : public QDialog
{
    Q_OBJECT

public:
    explicit TWarningForm(QWidget *owner);

    void CloseByProgram();

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool closingByProgram_ = false;
};

} // namespace kavro
