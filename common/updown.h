#pragma once
// Up-down arrows without a text field: a value with limits and a change
// notification, as the instrument's thickness and graph-limit controls use.
#include <QWidget>

class QToolButton;

class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);
    int value() const { return m_value; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setRange(int min, int max);
    // Values outside the range are refused (returns false), as the original
    // control raised an error for them.
    bool setValue(int v);
    void stepUp() { setValue(m_value + 1); }
    void stepDown() { setValue(m_value - 1); }

signals:
    void valueChanged(int value);

private:
    int m_value = 0;
    int m_min = 0;
    int m_max = 10;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
