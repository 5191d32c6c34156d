#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace kavro {

class UserDialogs;

// What the splash's handlers do to the rest of the program.
class SplashHost
{
public:
    virtual ~SplashHost() = default;
    virtual bool OpenInstrumentPort() = 0; // the port set-up; true when the port is open
    virtual void SetNewCarEnabled(bool enabled) = 0;
    virtual void SetReceiveHandlerAttached(bool attached) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void CloseMainWindow() = 0; // ends the program
    virtual void actCOMSelectExecute() = 0;
};

struct SplashTimings
{
    int dropPeriodMs = 2000; // Timer1: bytes of the first seconds are dropped
    int questionPeriodMs = 15000; // Timer2: "Прибор не отвечает..." is asked again
};

// The connection splash shown modally at start-up until the instrument has
// delivered its calibration block (the receiver closes it). Showing it runs
// the port set-up.
class TSplashForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSplashForm(SplashHost &host, UserDialogs &dialogs, SplashTimings timings = {},
        QWidget *parent = nullptr);

    bool TimerFired() const { return timerFired_; }
    bool PortOpen() const { return portOpen_; }

    void FormShow();
    void Timer1Timer();
    void Timer2Timer();

    QTimer Timer1;
    QTimer Timer2;
    QLabel *Panel1;
    QLabel *Panel2;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SplashHost &host_;
    UserDialogs &dialogs_;
    bool timerFired_ = false;
    bool portOpen_ = false;
};

} // namespace kavro
