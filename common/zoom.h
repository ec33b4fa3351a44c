#pragma once
// The display's enlargement for a projector: 100 % to 200 %, applied to the
// whole program by Qt's scale factor, so that every window, font and
// hand-drawn surface is drawn at the screen's real resolution. The factor is
// read when the application starts: a change restarts the window, which the
// program's entry carries out through the handler set here.
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace zoom
{

// The steps offered by the keys and the menus.
inline constexpr int kSteps[] = {100, 125, 150, 200};
inline constexpr int kMinimum = 100;
inline constexpr int kMaximum = 200;

// "150" or "150 %" gives 150; anything else, or a value outside 100 to 200,
// gives nothing.
std::optional<int> parse(const QString &text);
// The next step up (direction 1) or down (-1) from a zoom; 0 goes back to 100.
int step(int current, int direction);
// The largest zoom not above the one asked for at which a window of the given
// size at 100 % fits into the screen's available area (physical pixels).
int largestFitting(int wanted, const QSize &physicalScreen, const QSize &window);
// The text of a zoom: "150 %".
QString label(int percent);

// The zoom in force.
int current();
void setCurrent(int percent);
// Asks for another zoom; false when nothing can apply it or it is already in
// force. The handler is set by the program's entry.
bool request(int percent);
void setHandler(const std::function<void(int)> &handler);

} // namespace zoom
