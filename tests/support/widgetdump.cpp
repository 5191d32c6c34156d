#include "support/widgetdump.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace kavro::test {

namespace {

QString Quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
    escaped.replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s).replace(u'\t', u"\\t"_s);
    return u'"' + escaped + u'"';
}

QString FontText(const QFont &font)
{
    QString size
        = font.pixelSize() > 0 ? u"%1px"_s.arg(font.pixelSize()) : u"%1pt"_s.arg(font.pointSizeF());
    QString text = font.family() + u',' + size;
    if (font.bold())
        text += u",bold"_s;
    if (font.italic())
        text += u",italic"_s;
    return text;
}

QString ColourText(const QColor &colour)
{
    return colour.name(QColor::HexRgb);
}

// The text a widget shows, if it is one that shows a text.
std::optional<QString> ShownText(const QWidget &widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(&widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget))
        return button->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(&widget))
        return edit->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(&widget))
        return combo->currentText();
    if (const auto *group = qobject_cast<const QGroupBox *>(&widget))
        return group->title();
    if (const auto *dateTime = qobject_cast<const QDateTimeEdit *>(&widget))
        return dateTime->text();
    if (const auto *edit = qobject_cast<const QTextEdit *>(&widget))
        return edit->toPlainText().left(80);
    return std::nullopt;
}

// "[actNewCar,actPrint,-,actLevels]": the names of a widget's actions, "-"
// for a separator.
QString ActionNames(const QWidget &widget)
{
    QStringList names;
    for (const QAction *action : widget.actions())
        names << (action->isSeparator() ? u"-"_s : action->objectName());
    return u'[' + names.join(u',') + u']';
}

QString FrameText(const QFrame &frame)
{
    static const std::pair<int, const char *> Shapes[] = { { QFrame::Box, "Box" },
        { QFrame::Panel, "Panel" }, { QFrame::StyledPanel, "StyledPanel" },
        { QFrame::WinPanel, "WinPanel" }, { QFrame::HLine, "HLine" }, { QFrame::VLine, "VLine" } };
    static const std::pair<int, const char *> Shadows[]
        = { { QFrame::Raised, "Raised" }, { QFrame::Sunken, "Sunken" } };
    QString text;
    for (const auto &[shape, name] : Shapes)
        if (frame.frameShape() == shape)
            text = QString::fromLatin1(name);
    if (text.isEmpty())
        return {};
    for (const auto &[shadow, name] : Shadows)
        if (frame.frameShadow() == shadow)
            text += u'|' + QString::fromLatin1(name);
    return text + u"/%1"_s.arg(frame.lineWidth());
}

QString AlignmentText(Qt::Alignment alignment)
{
    QStringList parts;
    if (alignment & Qt::AlignRight)
        parts << u"right"_s;
    else if (alignment & Qt::AlignHCenter)
        parts << u"hcenter"_s;
    if (alignment & Qt::AlignTop)
        parts << u"top"_s;
    else if (alignment & Qt::AlignBottom)
        parts << u"bottom"_s;
    return parts.join(u'|');
}

QString LimitText(int limit)
{
    return limit == QWIDGETSIZE_MAX ? u"-"_s : QString::number(limit);
}

// Details of the Full dump: alignment, word wrap, size limits, pages, tool
// bar buttons.
QString FullDetails(const QWidget &widget)
{
    QString line;
    if (const auto *label = qobject_cast<const QLabel *>(&widget)) {
        const QString alignment = AlignmentText(label->alignment());
        if (!alignment.isEmpty())
            line += u" align="_s + alignment;
        if (label->wordWrap())
            line += u" wrap"_s;
    }
    const QSize minimum = widget.minimumSize();
    const QSize maximum = widget.maximumSize();
    if (!minimum.isNull())
        line += u" min=%1x%2"_s.arg(minimum.width()).arg(minimum.height());
    if (maximum != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
        line += u" max="_s + LimitText(maximum.width()) + u'x' + LimitText(maximum.height());
    if (const auto *stack = qobject_cast<const QStackedWidget *>(&widget)) {
        QStringList pages;
        for (int index = 0; index < stack->count(); ++index)
            pages << stack->widget(index)->objectName();
        line += u" pages=["_s + pages.join(u',') + u"] current=%1"_s.arg(stack->currentIndex());
    }
    if (const auto *toolBar = qobject_cast<const QToolBar *>(&widget)) {
        QStringList sizes;
        for (QAction *action : toolBar->actions()) {
            const QWidget *button = toolBar->widgetForAction(action);
            if (!action->isSeparator() && button)
                sizes << u"%1x%2"_s.arg(button->width()).arg(button->height());
        }
        sizes.removeDuplicates();
        line += u" buttons="_s + sizes.join(u',');
    }
    return line;
}

QString WidgetLine(const QWidget &widget, const QWidget &window, DumpDetail detail)
{
    // A window's place depends on the screen; its size does not.
    const QRect g = widget.geometry();
    QString line = widget.objectName() + u' '
        + QString::fromLatin1(widget.metaObject()->className())
        + (widget.isWindow()
                ? u" (%3x%4)"_s.arg(g.width()).arg(g.height())
                : u" (%1,%2 %3x%4)"_s.arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    if (widget.isWindow() && !widget.windowTitle().isEmpty())
        line += u" title="_s + Quoted(widget.windowTitle());
    if (const std::optional<QString> text = ShownText(widget)) {
        line += u" text="_s + Quoted(*text);
        line += u" font="_s + FontText(widget.font());
    } else if (widget.testAttribute(Qt::WA_SetFont)) {
        line += u" font="_s + FontText(widget.font());
    }
    if (widget.testAttribute(Qt::WA_SetPalette) || widget.autoFillBackground()) {
        line += u" fg="_s + ColourText(widget.palette().color(QPalette::WindowText));
        line += u" bg="_s + ColourText(widget.palette().color(widget.backgroundRole()));
    }
    if (const auto *frame = qobject_cast<const QFrame *>(&widget)) {
        const QString frameText = FrameText(*frame);
        if (!frameText.isEmpty())
            line += u" frame="_s + frameText;
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget);
        button && button->isCheckable())
        line += button->isChecked() ? u" checked"_s : u" unchecked"_s;
    if (const auto *edit = qobject_cast<const QLineEdit *>(&widget); edit && edit->isReadOnly())
        line += u" read-only"_s;
    if (qobject_cast<const QToolBar *>(&widget))
        line += u" actions="_s + ActionNames(widget);
    if (detail == DumpDetail::Full)
        line += FullDetails(widget);
    if (!widget.isEnabled())
        line += u" disabled"_s;
    if (&widget != &window && !widget.isVisibleTo(&window))
        line += u" hidden"_s;
    return line;
}

void DumpChildren(
    const QWidget &widget, const QWidget &window, DumpDetail detail, int depth, QStringList &lines)
{
    for (const QObject *child : widget.children()) {
        const auto *childWidget = qobject_cast<const QWidget *>(child);
        if (!childWidget || childWidget->isWindow())
            continue;
        const bool named = !childWidget->objectName().isEmpty()
            && !childWidget->objectName().startsWith(u"qt_"_s);
        if (named)
            lines << QString(depth * 2, u' ') + WidgetLine(*childWidget, window, detail);
        if (const auto *menuBar = qobject_cast<const QMenuBar *>(childWidget)) {
            for (const QAction *entry : menuBar->actions()) {
                if (const QMenu *menu = entry->menu())
                    lines << QString((depth + 1) * 2, u' ') + u"menu "_s + menu->objectName()
                            + u" title="_s + Quoted(menu->title()) + u" actions="_s
                            + ActionNames(*menu);
            }
        }
        DumpChildren(*childWidget, window, detail, named ? depth + 1 : depth, lines);
    }
}

QString ActionLine(const QAction &action, DumpDetail detail)
{
    QString line = u"action "_s + action.objectName() + u" text="_s + Quoted(action.text());
    if (!action.shortcut().isEmpty())
        line += u" shortcut="_s + action.shortcut().toString(QKeySequence::PortableText);
    if (detail == DumpDetail::Full) {
        const QVariant category = action.property("category");
        if (category.isValid())
            line += u" category="_s + category.toString();
        if (!action.statusTip().isEmpty())
            line += u" hint="_s + Quoted(action.statusTip());
        if (action.toolTip() != action.statusTip() && !action.statusTip().isEmpty())
            line += u" tooltip="_s + Quoted(action.toolTip());
        const QVariant image = action.property("imageIndex");
        if (image.isValid())
            line += u" image=%1"_s.arg(image.toInt());
        if (!action.icon().isNull() && action.isIconVisibleInMenu())
            line += u" menu-icon"_s;
    }
    if (action.isCheckable())
        line += action.isChecked() ? u" checked"_s : u" unchecked"_s;
    if (!action.isEnabled())
        line += u" disabled"_s;
    return line;
}

QString GoldenPath(const QString &name)
{
    return QStringLiteral(KAVRO_GOLDEN_DIR) + u'/' + name + u".txt"_s;
}

} // namespace

QString DumpWidgetTree(const QWidget &window, DumpDetail detail)
{
    QStringList lines;
    lines << WidgetLine(window, window, detail);
    DumpChildren(window, window, detail, 1, lines);
    for (const QAction *action : window.actions())
        if (!action->objectName().isEmpty())
            lines << u"  "_s + ActionLine(*action, detail);
    return lines.join(u'\n') + u'\n';
}

bool MatchesGolden(const QWidget &window, const QString &name, DumpDetail detail)
{
    return MatchesGolden(DumpWidgetTree(window, detail), name);
}

bool MatchesGolden(const QString &actual, const QString &name)
{
    const QString path = GoldenPath(name);
    if (qEnvironmentVariableIntValue("KAVRO_UPDATE_GOLDEN") == 1) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTest::qFail(qPrintable(u"cannot write "_s + path), __FILE__, __LINE__);
            return false;
        }
        file.write(actual.toUtf8());
        qWarning("golden file %s written", qPrintable(path));
        return true;
    }
    QFile file(path);
    const QString expected
        = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    if (actual == expected)
        return true;

    const QString actualFolder = QStringLiteral(KAVRO_BINARY_DIR) + u"/golden-actual"_s;
    QDir().mkpath(actualFolder);
    QFile actualFile(actualFolder + u'/' + name + u".txt"_s);
    if (actualFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        actualFile.write(actual.toUtf8());

    const QStringList actualLines = actual.split(u'\n');
    const QStringList expectedLines = expected.split(u'\n');
    qsizetype line = 0;
    while (line < actualLines.size() && line < expectedLines.size()
        && actualLines[line] == expectedLines[line])
        ++line;
    const QString message
        = u"%1 differs from %2 at line %3:\n  expected: %4\n  actual:   %5\n"
          "(whole dump in %6; KAVRO_UPDATE_GOLDEN=1 rewrites the golden file)"_s.arg(name, path)
              .arg(line + 1)
              .arg(expectedLines.value(line, u"<end>"_s), actualLines.value(line, u"<end>"_s),
                  actualFile.fileName());
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    return false;
}

} // namespace kavro::test
