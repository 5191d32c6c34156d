#pragma once

#include "platform/appenvironment.h"
#include "protocol/capturefile.h"
#include "protocol/receiverdata.h"
#include "ui/splashform.h"

#include <functional>
#include <memory>

namespace kavro {

class InspectionWindows;
class ProgramHost;
class TMainForm;
class UserDialogs;

// Passes everything on to the program's environment and notes the end of the
// program, so that the start sequence can stop wherever the end comes from.
class EndWatchingEnvironment : public AppEnvironment
{
public:
    EndWatchingEnvironment(AppEnvironment &environment, std::function<void()> onEnd);

    QDateTime Now() const override;
    qint64 NowMsSinceEpoch() const override;
    QString ProgramFolder() const override;
    void EndProgram(int exitCode) override;

    bool Ended() const { return ended_; }
    int ExitCode() const { return exitCode_; }

private:
    AppEnvironment &environment_;
    std::function<void()> onEnd_;
    bool ended_ = false;
    int exitCode_ = 0;
};

// The start of the program: creates the windows in their order, shows the
// connection splash modally (which opens the port and waits for the
// instrument) and tells whether the event loop is to run. It owns the
// program-wide instances for as long as the program runs.
class ProgramStart
{
public:
    ProgramStart(AppEnvironment &environment, UserDialogs &dialogs, SplashTimings timings = {});
    ~ProgramStart();

    // Records the instrument's bytes into this file (or folder) from the
    // start on; call before Run. A capture that cannot be created is
    // reported, and the program runs without it.
    void SetCapturePath(const QString &path) { capturePath_ = path; }
    const CaptureWriter &LineCapture() const { return lineCapture_; }

    // False when the program ends instead of running its event loop.
    bool Run();
    int ExitCode() const { return environment_.ExitCode(); }

    TMainForm *MainForm() const { return mainForm_.get(); }
    ProgramHost *Host() const { return host_.get(); }
    // The windows of a vehicle's test; owned by the main window.
    InspectionWindows *Inspection() const { return inspection_; }
    ReceiverData &Receiver() { return receiverData_; }

private:
    void StartLineCapture();

    EndWatchingEnvironment environment_;
    UserDialogs &dialogs_;
    SplashTimings timings_;
    QString capturePath_;
    CaptureWriter lineCapture_; // outlives the main window's port, which writes into it
    ReceiverData receiverData_;
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<ProgramHost> host_;
    InspectionWindows *inspection_ = nullptr;
    TSplashForm *splash_ = nullptr;
};

} // namespace kavro
