#pragma once
// The small window shown while a curve is traced: "Arrêter" stops the trace
// where it is, "Terminer" completes it by computation.
#include <QDialog>

class QLabel;

namespace graph
{

class Frein : public QDialog
{
    Q_OBJECT
public:
    explicit Frein(QWidget *parent = nullptr);
    QLabel *Command1 = nullptr; // "Arrêter"
    QLabel *command2 = nullptr; // "Terminer"
    int state(int label) const { return m_state[label]; }
    // Pointer at (x, y) of the window: highlights the label under it.
    void pointerAt(const QPoint &pos);

signals:
    void arreter();
    void terminer();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    // Escape stops, Enter completes; Space presses the label that has the focus.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setState(int label, int state);
    int m_state[2] = {0, 0};
};

} // namespace graph
