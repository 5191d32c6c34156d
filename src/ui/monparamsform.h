#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimeEdit;

namespace kavro {

// The monitoring dialog: the time span of the chart's time axis. Created
// once; the chosen span stays in the picker between showings, also when the
// dialog was closed with "Отмена". Enter anywhere in the dialog means
// "Начать", Escape "Отмена".
class TMonParamsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMonParamsForm(QWidget *owner = nullptr);

    // The chosen span (hours, minutes and seconds of the picker), 0 to
    // 23:59:59, in milliseconds.
    qint64 MonitoringDurationMs() const;

    QLabel *Label1 = nullptr;
    QTimeEdit *DateTimePicker1 = nullptr;
    QPushButton *Button1 = nullptr; // "Начать"
    QPushButton *Button2 = nullptr; // "Отмена"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormKeyPress(int key);
};

} // namespace kavro
