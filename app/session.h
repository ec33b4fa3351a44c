#pragma once
// The program's life: the application and its main window, built again at
// another zoom when the user asks for one, with the window's state carried
// across.
#include <QString>
#include <functional>

class FeuilleP;

struct Session {
    QString screenshot; // a screenshot run: save the window's image there and end
    QString file;       // a configuration or exercise to open instead of the first trace
    int zoom = 100;     // percent
    bool fitToScreen = true;
    // Called once the window is shown and started, with the number of the
    // window's life (0, then 1 after a change of zoom...).
    std::function<void(FeuilleP &, int life)> onShown;
};

// The zoom of QT_SCALE_FACTOR when no zoom is given, else 100.
int zoomFromEnvironment();

// Runs the event loop; returns the program's exit status.
int runSession(int &argc, char **argv, Session session);
