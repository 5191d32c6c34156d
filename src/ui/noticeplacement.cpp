#include "ui/noticeplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kavro {

void CentreOnOwner(QWidget &window)
{
    QRect area;
    if (const QWidget *owner = window.parentWidget())
        area = owner->window()->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

} // namespace kavro
