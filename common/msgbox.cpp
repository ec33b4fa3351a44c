#include "common/msgbox.h"

#include <QMessageBox>

namespace msgbox
{

std::function<Answer(const Call &)> handler;

Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    if (handler)
        return handler(Call{text, title, icon, buttons});
    QMessageBox::Icon qi = QMessageBox::Information;
    switch (icon) {
    case Icon::Question:
        qi = QMessageBox::Question;
        break;
    case Icon::Warning:
        qi = QMessageBox::Warning;
        break;
    case Icon::Error:
        qi = QMessageBox::Critical;
        break;
    case Icon::Information:
        break;
    }
    QMessageBox box(qi, title, text, QMessageBox::NoButton, parent);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo
                   ? Answer::No
                   : (buttons == Buttons::OkCancel && box.clickedButton() == nullptr
                          ? Answer::Cancel
                          : Answer::Ok);
    }
}

} // namespace msgbox
