#pragma once
class FeuilleP;

// Connects the main window's buttons to the windows of the other subsystems:
// configuration dialogs, printing, copying, calculator, help and exercises.
void connectWindows(FeuilleP &w);
