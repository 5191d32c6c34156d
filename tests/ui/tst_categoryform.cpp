#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/categoryform.h"
#include "ui/radiogroup.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

// What the operator sees: "date:category:after-treatment" selections (-1
// none), whether category and after-treatment can be chosen, whether
// "Готово" can be pressed, and the first word of the description (or "-").
QString State(const TCategoryForm &form)
{
    const QString description = form.Label1->text().section(u' ', 0, 0);
    return u"%1:%2:%3 %4 %5 %6"_s.arg(form.RadioGroup1->ItemIndex())
        .arg(form.RadioGroup2->ItemIndex())
        .arg(form.RadioGroup3->ItemIndex())
        .arg(form.RadioGroup2->isEnabled() && form.RadioGroup3->isEnabled() ? u"groups"_s
                                                                            : u"no-groups"_s)
        .arg(form.Button1->isEnabled() ? u"ready"_s : u"not-ready"_s)
        .arg(description.isEmpty() ? u"-"_s : description);
}

// Clicks an item as the operator does: "date1" is item 1 of RadioGroup1,
// "category4" item 4 of RadioGroup2, "treatment2" item 2 of RadioGroup3.
void ClickItem(TCategoryForm &form, const QString &step)
{
    RadioGroup *group = step.startsWith(u"date"_s) ? form.RadioGroup1
        : step.startsWith(u"category"_s)           ? form.RadioGroup2
                                                   : form.RadioGroup3;
    QRadioButton *item = group->Item(step.back().digitValue());
    QVERIFY2(item, qPrintable(step));
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(6, item->height() / 2));
}

} // namespace

class tst_CategoryForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void showsTheCode_data();
    void showsTheCode();
    void selectionRules_data();
    void selectionRules();
    void closing_data();
    void closing();
    void windowDump();
};

void tst_CategoryForm::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_CategoryForm::showsTheCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("state");

    QTest::newRow("-1, not chosen yet") << -1 << u"0:-1:-1 no-groups ready -"_s;
    QTest::newRow("0, before 01.10.1986") << 0 << u"0:-1:-1 no-groups ready -"_s;
    QTest::newRow("17, from an old database") << 17 << u"0:-1:-1 no-groups ready -"_s;
    QTest::newRow("53, N2 three-component") << 53 << u"1:4:2 groups ready Автотранспортное"_s;
    QTest::newRow("32, M1 none") << 32 << u"1:0:0 groups ready Автотранспортное"_s;
    QTest::newRow("after-treatment field 3")
        << 32 + 24 + 1 << u"1:1:-1 groups not-ready Автотранспортное"_s;
}

void tst_CategoryForm::showsTheCode()
{
    QFETCH(int, code);
    QFETCH(QString, state);

    TCategoryForm form;
    form.SetCategoryCode(code);
    form.show();
    QCOMPARE(State(form), state);
}

// Each row starts with the dialog shown for a code, clicks items in turn and
// checks the state after each click; then "Готово", if it can be pressed.
void tst_CategoryForm::selectionRules_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("states");
    QTest::addColumn<int>("result"); // -2: "Готово" cannot be pressed

    QTest::newRow("after 01.10.1986: both groups needed")
        << -1 << QStringList { u"date1"_s, u"category4"_s, u"treatment2"_s }
        << QStringList { u"1:-1:-1 groups not-ready -"_s,
               u"1:4:-1 groups not-ready Автотранспортное"_s,
               u"1:4:2 groups ready Автотранспортное"_s }
        << 53;
    QTest::newRow("after-treatment first, then category")
        << 0 << QStringList { u"date1"_s, u"treatment1"_s, u"category2"_s }
        << QStringList { u"1:-1:-1 groups not-ready -"_s, u"1:-1:1 groups not-ready -"_s,
               u"1:2:1 groups ready Автотранспортное"_s }
        << 32 + 2 + 8;
    QTest::newRow("back to before 01.10.1986 clears both groups")
        << 53 << QStringList { u"date0"_s, u"date1"_s }
        << QStringList { u"0:-1:-1 no-groups ready -"_s, u"1:-1:-1 groups not-ready -"_s } << -2;
    QTest::newRow("before 01.10.1986 gives 0")
        << 44 << QStringList { u"date0"_s } << QStringList { u"0:-1:-1 no-groups ready -"_s } << 0;
    QTest::newRow("another category keeps the after-treatment")
        << 36 << QStringList { u"category5"_s }
        << QStringList { u"1:5:0 groups ready Автотранспортное"_s } << 38;
}

void tst_CategoryForm::selectionRules()
{
    QFETCH(int, code);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, states);
    QFETCH(int, result);

    test::ScriptedDialogs dialogs;
    dialogs.dialogHandlers << [&](QDialog &dialog) {
        auto &form = static_cast<TCategoryForm &>(dialog);
        form.show();
        for (int i = 0; i < clicks.size(); ++i) {
            ClickItem(form, clicks[i]);
            if (QTest::currentTestFailed())
                return int(QDialog::Rejected);
            if (State(form) != states[i]) {
                QTest::qFail(qPrintable(u"after %1: %2, expected %3"_s.arg(
                                 clicks[i], State(form), states[i])),
                    __FILE__, __LINE__);
                return int(QDialog::Rejected);
            }
        }
        if (!form.Button1->isEnabled())
            return int(QDialog::Rejected);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        return form.result();
    };

    const std::optional<int> chosen = ChooseVehicleCategory(dialogs, nullptr, code);

    QCOMPARE(dialogs.modalDialogs, QStringList { u"TCategoryForm"_s });
    QCOMPARE(chosen.value_or(-2), result);
}

void tst_CategoryForm::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result"); // -2: nothing chosen

    QTest::newRow("Готово") << u"Button1"_s << 37;
    QTest::newRow("Отмена") << u"Button2"_s << -2;
    QTest::newRow("Esc") << u"Esc"_s << -2;
}

void tst_CategoryForm::closing()
{
    QFETCH(QString, how);
    QFETCH(int, result);

    test::ScriptedDialogs dialogs;
    dialogs.dialogHandlers << [&](QDialog &dialog) {
        auto &form = static_cast<TCategoryForm &>(dialog);
        form.show();
        ClickItem(form, u"category4"_s); // N2 with the after-treatment of code 53
        ClickItem(form, u"treatment0"_s);
        if (how == u"Esc"_s)
            QTest::keyClick(form.RadioGroup2->Item(4), Qt::Key_Escape);
        else
            QTest::mouseClick(form.findChild<QPushButton *>(how), Qt::LeftButton);
        return form.isVisible() ? int(QDialog::Rejected) : form.result();
    };
    QCOMPARE(ChooseVehicleCategory(dialogs, nullptr, 53).value_or(-2), result);
}

void tst_CategoryForm::windowDump()
{
    TCategoryForm form;
    form.SetCategoryCode(53);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(test::MatchesGolden(form, u"categoryform"_s, test::DumpDetail::Full));
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/categoryform.png")));
    form.SetCategoryCode(-1);
    form.hide();
    form.show();
    ClickItem(form, u"date1"_s);
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/categoryform-unchosen.png")));
}

QTEST_MAIN(tst_CategoryForm)
#include "tst_categoryform.moc"
