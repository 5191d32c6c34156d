#include "ui/shortcuthintmenu.h"

#include <QAction>
#include <QStyleOptionMenuItem>

namespace kavro {

void ShortcutHintMenu::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    const QString hint = action->property("shortcutHint").toString();
    if (!hint.isEmpty() && action->shortcut().isEmpty())
        option->text += QLatin1Char('\t') + hint;
}

} // namespace kavro
