#include "app/programstart.h"
#include "platform/appenvironment.h"
#include "ui/qtuserdialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kavro::SystemEnvironment environment;
    kavro::QtUserDialogs dialogs;
    kavro::ProgramStart start(environment, dialogs);
    if (!start.Run())
        return start.ExitCode();
    return app.exec();
}
