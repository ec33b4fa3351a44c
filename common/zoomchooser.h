#pragma once
// A labelled drop-down list of the zoom steps, for the help window.
class QWidget;

namespace zoom
{
QWidget *chooser(QWidget *parent);
}
