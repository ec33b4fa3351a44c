#include "common/focusring.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

namespace
{

// The frame: a dark blue band with a white inner line, visible on the grey
// buttons, the pastel panels and the white picture boxes alike.
class RingFrame : public QWidget
{
public:
    explicit RingFrame(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(QString());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 70, 170));
        p.drawRect(r.x(), r.y(), r.width(), 2);
        p.drawRect(r.x(), r.bottom() - 1, r.width(), 2);
        p.drawRect(r.x(), r.y(), 2, r.height());
        p.drawRect(r.right() - 1, r.y(), 2, r.height());
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 0));
        p.drawRect(r.adjusted(2, 2, -3, -3));
    }
};

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

FocusRing &FocusRing::instance()
{
    static QPointer<FocusRing> ring;
    if (!ring) {
        ring = new FocusRing;
        ring->setParent(qApp);
    }
    return *ring;
}

FocusRing::FocusRing()
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { scheduleUpdate(); });
}

QWidget *FocusRing::target() const
{
    return m_frame && m_frame->isVisible() ? m_target.data() : nullptr;
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (!isModifier(static_cast<QKeyEvent *>(event)->key()) && !m_keyboard) {
            m_keyboard = true;
            scheduleUpdate();
        } else if (m_keyboard) {
            scheduleUpdate();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (m_keyboard) {
            m_keyboard = false;
            scheduleUpdate();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
        if (m_keyboard && watched == m_target)
            scheduleUpdate();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusRing::scheduleUpdate()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, [this] {
        m_pending = false;
        updateFrame();
    });
}

void FocusRing::updateFrame()
{
    QWidget *w = QApplication::focusWidget();
    if (!m_keyboard || !w || !w->isVisible() || qobject_cast<QMenu *>(w) || w->isWindow()) {
        if (m_frame)
            m_frame->hide();
        m_target = nullptr;
        return;
    }
    QWidget *top = w->window();
    if (!m_frame || m_frame->parentWidget() != top) {
        delete m_frame;
        m_frame = new RingFrame(top);
    }
    m_target = w;
    const QRect r(w->mapTo(top, QPoint(0, 0)), w->size());
    m_frame->setGeometry(r.adjusted(-3, -3, 3, 3));
    m_frame->raise();
    m_frame->show();
    m_frame->update();
}
