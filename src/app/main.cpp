#include "app/programoptions.h"
#include "app/programstart.h"
#include "platform/appenvironment.h"
#include "ui/qttranslations.h"
#include "ui/qtuserdialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kavro::InstallQtRussianTexts(app);
    const kavro::ProgramOptions options = kavro::ReadProgramOptions(app.arguments());
    kavro::SystemEnvironment environment;
    kavro::QtUserDialogs dialogs;
    kavro::ProgramStart start(environment, dialogs);
    start.SetCapturePath(options.capturePath);
    if (!start.Run())
        return start.ExitCode();
    return app.exec();
}
