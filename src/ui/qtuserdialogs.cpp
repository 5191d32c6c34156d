#include "ui/qtuserdialogs.h"

#include "ui/comselectform.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
QMessageBox::Icon BoxIcon(UserDialogs::Icon icon)
{
    switch (icon) {
    case UserDialogs::Icon::Information:
        return QMessageBox::Information;
    case UserDialogs::Icon::Warning:
        return QMessageBox::Warning;
    case UserDialogs::Icon::Error:
        return QMessageBox::Critical;
    case UserDialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The program's texts separate their lines with a lone carriage return, as
// the instrument's software always has; a label breaks lines at "\r" only
// with some styles, so the box is given "\n".
QString LinesForLabel(const QString &text)
{
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return lines;
}

constexpr std::pair<UserDialogs::Button, QMessageBox::StandardButton> ButtonPairs[] = {
    { UserDialogs::Ok, QMessageBox::Ok },
    { UserDialogs::Yes, QMessageBox::Yes },
    { UserDialogs::No, QMessageBox::No },
    { UserDialogs::Cancel, QMessageBox::Cancel },
};
QString ButtonText(UserDialogs::Button button)
{
    switch (button) {
    case UserDialogs::Ok:
        return u"OK"_s;
    case UserDialogs::Yes:
        return u"Да"_s;
    case UserDialogs::No:
        return u"Нет"_s;
    case UserDialogs::Cancel:
        return u"Отмена"_s;
    case UserDialogs::NoButton:
        break;
    }
    return {};
}
} // namespace

UserDialogs::Button QtUserDialogs::Message(
    QWidget *parent, const QString &title, const QString &text, Icon icon, Buttons buttons)
{
    QMessageBox::StandardButtons boxButtons;
    for (const auto &[ours, qts] : ButtonPairs)
        if (buttons & ours)
            boxButtons |= qts;
    QMessageBox box(BoxIcon(icon), title, LinesForLabel(text), boxButtons, parent);
    box.setTextFormat(Qt::PlainText);
    // The operator's words on the buttons, also where Qt's own Russian texts
    // are not installed.
    for (const auto &[ours, qts] : ButtonPairs)
        if (QAbstractButton *button = box.button(qts))
            button->setText(ButtonText(ours));
    const int clicked = box.exec();
    for (const auto &[ours, qts] : ButtonPairs)
        if (clicked == qts)
            return ours;
    return NoButton;
}

int QtUserDialogs::ChoosePort(QWidget *parent, int preselectedIndex)
{
    TCOMSelectForm form(parent);
    form.SetItemIndex(preselectedIndex);
    form.exec();
    return form.ItemIndex();
}

int QtUserDialogs::ExecModal(QDialog &dialog)
{
    return dialog.exec();
}

QString QtUserDialogs::ChooseSaveFileName(QWidget *parent, const SaveFileRequest &request)
{
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(QDir(request.folder).filePath(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtUserDialogs::ChoosePrinter(QWidget *parent, QPrinter &printer)
{
    printer.setCopyCount(1);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setMinMax(1, 1);
    dialog.setFromTo(1, 1);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kavro
