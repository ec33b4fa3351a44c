#include "common/updown.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; }"));
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    if (m_value < min || m_value > max)
        m_value = std::clamp(m_value, min, max);
}

bool UpDown::setValue(int v)
{
    if (v < m_min || v > m_max)
        return false;
    if (v == m_value)
        return true;
    m_value = v;
    emit valueChanged(v);
    return true;
}
