#pragma once

#include <QString>

class QWidget;

namespace kavro::test {

// A window as text, one line per named widget (and per action of the window),
// indented by depth: object name, class, geometry relative to the parent,
// text, font, explicitly set colours, frame, enabled and visible state.
// Widgets without an object name (Qt's own parts of a combo box, a chart
// view, ...) are left out, their named children are not.
QString DumpWidgetTree(const QWidget &window);

// Compares the dump of window with tests/golden/<name>.txt. On a difference
// the test fails naming the first differing line, and the whole dump is
// written to build/golden-actual/<name>.txt. With KAVRO_UPDATE_GOLDEN=1 in
// the environment the golden file is written instead (check it by eye
// against the window's description before committing it).
// Returns false (after QTest::qFail) on a difference; use with QVERIFY.
bool MatchesGolden(const QWidget &window, const QString &name);

} // namespace kavro::test
