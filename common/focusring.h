#pragma once
// A visible focus for keyboard users: a frame drawn round the widget that has
// the keyboard focus, shown only once a key has been pressed and hidden again
// at the next mouse click, so that mouse use looks exactly as before.
#include <QObject>
#include <QPointer>
#include <QWidget>

class FocusRing : public QObject
{
    Q_OBJECT
public:
    // The one ring of the application, created on first use.
    static FocusRing &instance();

    // True while the keyboard is in use (a key pressed since the last click).
    bool keyboardMode() const { return m_keyboard; }
    // The widget framed, or null when the ring is hidden.
    QWidget *target() const;
    // The frame widget itself (for tests); null before the first use.
    QWidget *frame() const { return m_frame; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusRing();
    void scheduleUpdate();
    void updateFrame();

    bool m_keyboard = false;
    bool m_pending = false;
    QPointer<QWidget> m_frame;
    QPointer<QWidget> m_target;
};
