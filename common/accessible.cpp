#include "common/accessible.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace accessible
{

namespace
{

const char *const kHolderName = "spectro-accessible";

// Kept as a child of the widget it describes; watches its repaints.
class Holder : public QObject
{
public:
    Holder(QWidget *w, const Description &d) : QObject(w), desc(d), widget(w)
    {
        setObjectName(QLatin1String(kHolderName));
        w->installEventFilter(this);
    }
    Holder(QWidget *w, const Tabs &t) : QObject(w), tabs(t), isTabs(true), widget(w)
    {
        setObjectName(QLatin1String(kHolderName));
        w->installEventFilter(this);
    }

    QString name() const
    {
        if (isTabs)
            return tabs.name;
        return desc.name ? desc.name() : widget->accessibleName();
    }
    QString description() const
    {
        return desc.description ? desc.description() : widget->accessibleDescription();
    }

    Description desc;
    Tabs tabs;
    bool isTabs = false;
    QWidget *widget;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget && event->type() == QEvent::Paint && QAccessible::isActive())
            announce();
        return false;
    }

private:
    void announce();
    QString m_name, m_description;
    double m_value = 0;
    int m_tab = -1;
    bool m_first = true;
};

Holder *holderOf(QObject *o)
{
    return o ? o->findChild<Holder *>(QLatin1String(kHolderName), Qt::FindDirectChildrenOnly)
             : nullptr;
}

class Described : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    Described(QWidget *w, Holder *h) : QAccessibleWidget(w, h->desc.role), m_h(h) {}

    QString text(QAccessible::Text t) const override
    {
        if (!m_h)
            return QAccessibleWidget::text(t);
        if (t == QAccessible::Name)
            return m_h->name();
        if (t == QAccessible::Description)
            return m_h->description();
        if (t == QAccessible::Value && m_h->desc.value)
            return QString::number(m_h->desc.value()).replace(QLatin1Char('.'), QLatin1Char(','));
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface && m_h && m_h->desc.value)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (m_h && m_h->desc.press)
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString &action) override
    {
        if (m_h && action == pressAction() && m_h->desc.press)
            m_h->desc.press();
        else
            QAccessibleWidget::doAction(action);
    }
    QVariant currentValue() const override { return m_h ? m_h->desc.value() : 0.0; }
    void setCurrentValue(const QVariant &v) override
    {
        if (m_h && m_h->desc.setValue)
            m_h->desc.setValue(v.toDouble());
    }
    QVariant maximumValue() const override { return m_h ? m_h->desc.maximum : 0.0; }
    QVariant minimumValue() const override { return m_h ? m_h->desc.minimum : 0.0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QPointer<Holder> m_h;
};

class Tab : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    Tab(QWidget *strip, int index) : m_strip(strip), m_index(index) {}

    bool isValid() const override { return m_strip && holderOf(m_strip); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_strip);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        const Holder *h = holderOf(m_strip);
        if (!h || t != QAccessible::Name)
            return QString();
        return h->tabs.captions.value(m_index);
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const Holder *h = holderOf(m_strip);
        if (!h || !h->tabs.tabRect)
            return QRect();
        const QRect r = h->tabs.tabRect(m_index);
        return QRect(m_strip->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const Holder *h = holderOf(m_strip);
        if (!h)
            return s;
        const bool current = h->tabs.current() == m_index;
        s.selectable = true;
        s.focusable = true;
        s.selected = current;
        s.focused = current && m_strip->hasFocus();
        s.invisible = !m_strip->isVisible();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        Holder *h = holderOf(m_strip);
        if (h && action == pressAction() && h->tabs.select)
            h->tabs.select(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QWidget> m_strip;
    int m_index;
};

class TabList : public QAccessibleWidget
{
public:
    TabList(QWidget *w, Holder *h) : QAccessibleWidget(w, QAccessible::PageTabList), m_h(h) {}
    ~TabList() override
    {
        for (QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return m_h ? m_h->tabs.name : QString();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return tabCount() + QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        const int n = tabCount();
        if (index < 0)
            return nullptr;
        if (index >= n)
            return QAccessibleWidget::child(index - n);
        return tab(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const int n = tabCount();
        for (int i = 0; i < n; ++i) {
            if (tab(i) == child)
                return i;
        }
        const int i = QAccessibleWidget::indexOfChild(child);
        return i < 0 ? -1 : i + n;
    }

private:
    int tabCount() const { return m_h ? int(m_h->tabs.captions.size()) : 0; }
    QAccessibleInterface *tab(int i) const
    {
        while (m_ids.size() < tabCount())
            m_ids.append(
                QAccessible::registerAccessibleInterface(new Tab(widget(), int(m_ids.size()))));
        return QAccessible::accessibleInterface(m_ids.at(i));
    }
    QPointer<Holder> m_h;
    mutable QList<QAccessible::Id> m_ids; // the tabs' interfaces, made on first use
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    Holder *h = holderOf(w);
    if (!h)
        return nullptr;
    if (h->isTabs)
        return new TabList(w, h);
    return new Described(w, h);
}

// Installed again at each use: it then comes first, before the widgets' own
// factory, even in an application built anew after a change of zoom.
void installFactory()
{
    QAccessible::removeFactory(factory);
    QAccessible::installFactory(factory);
}

void Holder::announce()
{
    if (isTabs) {
        const int tab = tabs.current ? tabs.current() : -1;
        if (tab != m_tab && !m_first && tab >= 0) {
            QAccessibleInterface *list = QAccessible::queryAccessibleInterface(widget);
            if (QAccessibleInterface *t = list ? list->child(tab) : nullptr) {
                QAccessibleEvent sel(t, QAccessible::Selection);
                QAccessible::updateAccessibility(&sel);
                if (widget->hasFocus()) {
                    QAccessibleEvent focus(t, QAccessible::Focus);
                    QAccessible::updateAccessibility(&focus);
                }
            }
        }
        m_tab = tab;
        m_first = false;
        return;
    }
    if (!desc.live)
        return;
    const QString n = name();
    const QString d = description();
    const double v = desc.value ? desc.value() : 0;
    if (!m_first) {
        if (n != m_name) {
            QAccessibleEvent e(widget, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&e);
        }
        if (d != m_description) {
            QAccessibleEvent e(widget, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&e);
        }
        if (desc.value && v != m_value) {
            QAccessibleValueChangeEvent e(widget, v);
            QAccessible::updateAccessibility(&e);
        }
    }
    m_name = n;
    m_description = d;
    m_value = v;
    m_first = false;
}

} // namespace

// An interface made before the description (a label announces its text, a
// widget its name, as soon as they are set) would hide it: drop it so that
// the next query asks the factory.
void forgetInterface(QWidget *widget)
{
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void describe(QWidget *widget, const Description &d)
{
    installFactory();
    delete holderOf(widget);
    forgetInterface(widget);
    new Holder(widget, d);
}

void describeTabs(QWidget *strip, const Tabs &t)
{
    installFactory();
    delete holderOf(strip);
    forgetInterface(strip);
    new Holder(strip, t);
}

} // namespace accessible
