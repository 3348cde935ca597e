#include "app/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace lantern {

namespace {

int ShowBox(QWidget* Parent, QMessageBox::Icon Icon, const QString& Title, const QString& Text, bool AskYesNo)
{
    QMessageBox box(Icon, Title, Text, QMessageBox::NoButton, Parent);
    if (AskYesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes ? 1 : 0;
    }
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
    return 1;
}

} // namespace

void TMessageBoxes::Error(const QString& Text)
{
    ShowBox(Parent, QMessageBox::Critical, QStringLiteral("Error"), Text, false);
}

void TMessageBoxes::Information(const QString& Text)
{
    ShowBox(Parent, QMessageBox::Information, QStringLiteral("关于"), Text, false);
}

bool TMessageBoxes::Confirm(const QString& Text)
{
    return ShowBox(Parent, QMessageBox::Question, QStringLiteral("Confirm"), Text, true) == 1;
}

void TMessageBoxes::Failure(const QString& Text)
{
    ShowBox(Parent, QMessageBox::Critical, QApplication::applicationDisplayName(), Text, false);
}

} // namespace lantern
