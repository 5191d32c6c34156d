#pragma once

#include <QMenu>

namespace kavro {

// A menu that shows, beside an action's caption, the text of the action's
// "shortcutHint" property in the shortcut column, without making that key
// a shortcut (a key taken by another action).
class ShortcutHintMenu : public QMenu
{
    Q_OBJECT

public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
};

} // namespace kavro
