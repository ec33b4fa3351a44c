#pragma once
// What a screen reader learns of the hand-drawn controls: a role, a French
// name and description computed when asked, an optional value and press
// action, and the tab strip as a list of tabs. Standard widgets keep Qt's own
// accessible interfaces; these only stand in for what Qt cannot know.
#include <QAccessible>
#include <QRect>
#include <QStringList>
#include <functional>

class QWidget;

namespace accessible
{

struct Description {
    QAccessible::Role role = QAccessible::Client;
    std::function<QString()> name;        // empty function: the widget's accessibleName
    std::function<QString()> description; // empty function: the widget's accessibleDescription
    // A value (an up-down's position, the reading of the schematic).
    std::function<double()> value;
    std::function<void(double)> setValue;
    double minimum = 0;
    double maximum = 0;
    // The press action of a label used as a button.
    std::function<void()> press;
    // Changes of the name, description or value are announced when the
    // widget repaints, as a live region would be.
    bool live = false;
};

void describe(QWidget *widget, const Description &d);

struct Tabs {
    QString name;
    QStringList captions;
    std::function<int()> current;      // 0-based
    std::function<void(int)> select;   // 0-based
    std::function<QRect(int)> tabRect; // in the strip's pixels
};

// The strip is shown as a tab list with one tab per caption; its child
// widgets (the panels) follow the tabs.
void describeTabs(QWidget *strip, const Tabs &t);

} // namespace accessible
