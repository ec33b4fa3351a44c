#pragma once
// The calculator's keys named by their function for screen readers ("racine
// carrée" rather than the glyph drawn on the key), and reachable by Tab.
class QWidget;

void nommerTouches(QWidget *machine);
