#include "common/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // As on the original platform, a picture box takes the focus when clicked:
    // a click on it ends the edit of a text box, whose check then runs.
    setFocusPolicy(Qt::ClickFocus);
}

void PictureBox::setBoxGeometry(int x, int y, int w, int h)
{
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    setGeometry(x, y, w, h);
    if (m_surface.width() != w || m_surface.height() != h)
        m_surface.resize(w, h);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (onPaint && !m_inPaint) {
        m_inPaint = true; // a handler that moves children must not recurse
        onPaint();
        m_inPaint = false;
    }
    QPainter p(this);
    p.drawImage(0, 0, m_surface.image());
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_surface.width() != width() || m_surface.height() != height()) {
        const QImage old = m_surface.image();
        m_surface.resize(width(), height());
        QPainter p(&m_surface.image());
        p.drawImage(0, 0, old);
    }
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // A move that a child control ignored is not a move over the box.
    if (childAt(pos) == nullptr)
        emit mouseMoved(pos.x(), pos.y());
    QWidget::mouseMoveEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseReleased(pos.x(), pos.y());
    if (rect().contains(pos))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
