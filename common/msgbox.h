#pragma once
// Modal message boxes with the program's French texts, titles and icons.
// Tests replace the handler to answer without a user.
#include <QString>
#include <functional>

class QWidget;

namespace msgbox
{

enum class Icon { Information, Question, Warning, Error };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

struct Call {
    QString text;
    QString title;
    Icon icon;
    Buttons buttons;
};

// Shows the box (or asks the handler) and returns the button pressed.
Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon,
            Buttons buttons = Buttons::Ok);

// When set, show() calls it instead of opening a box.
extern std::function<Answer(const Call &)> handler;

} // namespace msgbox
