#pragma once

#include <QString>

class QWidget;

namespace kavro::test {

// How much a dump says. Full adds what the description of some windows
// binds as well: a label's alignment (when not left) and word wrap, size
// limits that are set, the pages of a stacked widget in their order, the
// size of a tool bar's buttons, and each action's category, hint and
// picture number.
enum class DumpDetail { Standard, Full };

// A window as text, one line per named widget (and per action of the window),
// indented by depth: object name, class, geometry relative to the parent,
// text, font, explicitly set colours, frame, enabled and visible state.
// Widgets without an object name (Qt's own parts of a combo box, a chart
// view, ...) are left out, their named children are not. Any widget can be
// the root (a page of a window, say).
QString DumpWidgetTree(const QWidget &window, DumpDetail detail = DumpDetail::Standard);

// Compares the dump of window with tests/golden/<name>.txt. On a difference
// the test fails naming the first differing line, and the whole dump is
// written to build/golden-actual/<name>.txt. With KAVRO_UPDATE_GOLDEN=1 in
// the environment the golden file is written instead (check it by eye
// against the window's description before committing it).
// Returns false (after QTest::qFail) on a difference; use with QVERIFY.
bool MatchesGolden(
    const QWidget &window, const QString &name, DumpDetail detail = DumpDetail::Standard);
// The same for a dump that the caller has extended with lines of its own
// (components that are not widgets, say).
bool MatchesGolden(const QString &dump, const QString &name);

} // namespace kavro::test
