#include "app/programstart.h"

#include "app/programhost.h"
#include "ui/inspectionwindows.h"
#include "ui/mainform.h"
#include "ui/newmesform.h"

namespace kavro {

EndWatchingEnvironment::EndWatchingEnvironment(
    AppEnvironment &environment, std::function<void()> onEnd)
    : environment_(environment)
    , onEnd_(std::move(onEnd))
{ }

QDateTime EndWatchingEnvironment::Now() const
{
    return environment_.Now();
}

QString EndWatchingEnvironment::ProgramFolder() const
{
    return environment_.ProgramFolder();
}

void EndWatchingEnvironment::EndProgram(int exitCode)
{
    if (!ended_) {
        ended_ = true;
        exitCode_ = exitCode;
    }
    environment_.EndProgram(exitCode);
    onEnd_();
}

ProgramStart::ProgramStart(AppEnvironment &environment, UserDialogs &dialogs, SplashTimings timings)
    // An end during start-up also leaves the splash's modal loop.
    : environment_(environment,
        [this] {
            if (splash_)
                splash_->close();
        })
    , dialogs_(dialogs)
    , timings_(timings)
{ }

ProgramStart::~ProgramStart()
{
    // The host serves the receiver with the main window: it goes first.
    host_.reset();
    mainForm_.reset();
}

bool ProgramStart::Run()
{
    mainForm_ = std::make_unique<TMainForm>(receiverData_, dialogs_, environment_);
    host_ = std::make_unique<ProgramHost>(*mainForm_, receiverData_, dialogs_, environment_);

    auto splash = std::make_unique<TSplashForm>(*host_, dialogs_, timings_);
    splash_ = splash.get();
    host_->SetSplash(splash_);

    // The main window made the monitoring dialog with its chart page; the
    // measurement dialog and the report window follow.
    inspection_ = new InspectionWindows(*mainForm_, dialogs_, environment_);
    host_->SetMeasurementDialog(&inspection_->MeasurementDialog());

    splash->exec();
    host_->SetSplash(nullptr);
    splash_ = nullptr;
    splash.reset();

    if (!host_->PortOpen() || environment_.Ended())
        return false;

    inspection_->CreateVehicleDialog();
    return true;
}

} // namespace kavro
