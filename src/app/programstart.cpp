#include "app/programstart.h"

#include "app/programhost.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "ui/inspectionwindows.h"
#include "ui/mainform.h"
#include "ui/newmesform.h"

#include <cstdio>

using namespace Qt::StringLiterals;

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

qint64 EndWatchingEnvironment::NowMsSinceEpoch() const
{
    return environment_.NowMsSinceEpoch();
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
    if (!capturePath_.isEmpty())
        StartLineCapture();

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

// The capture is a service engineer's tool: when it cannot be made, the
// program still serves the operator, and says so on standard error and in a
// message box (a Windows program has no console).
void ProgramStart::StartLineCapture()
{
    const auto report
        = [](const QString &error) { std::fprintf(stderr, "kavro02: %s\n", qPrintable(error)); };
    const QString error = lineCapture_.Open(capturePath_, environment_.Now());
    if (!error.isEmpty()) {
        report(error + u"; running without a capture"_s);
        dialogs_.Message(nullptr, ProgramName,
            u"Не удалось начать запись обмена с прибором:\r%1\r"
            u"Программа работает без записи."_s.arg(error),
            UserDialogs::Icon::Warning, UserDialogs::Ok);
        return;
    }
    lineCapture_.SetOnFailure(
        [report](const QString &failure) { report(failure + u"; the capture ends here"_s); });
    host_->SetLineCapture(&lineCapture_);
}

} // namespace kavro
