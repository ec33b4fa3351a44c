#pragma once
// A picture box: a widget that shows its Surface and reports the pointer.
#include "common/surface.h"

#include <QWidget>
#include <functional>

class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    Surface &surface() { return m_surface; }
    const Surface &surface() const { return m_surface; }
    // Sizes the widget and its surface together (pixels).
    void setBoxGeometry(int x, int y, int w, int h);
    // Paint handler run before the surface is shown, like a form's Paint event.
    std::function<void()> onPaint;
    // Shows the surface again after drawing on it.
    void refresh() { update(); }

signals:
    void mouseMoved(int x, int y);
    void mouseReleased(int x, int y);
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Surface m_surface;
    bool m_inPaint = false;
};
