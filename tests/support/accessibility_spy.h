#pragma once

// Switches Qt's accessibility on as a screen reader's arrival does (through
// Qt6::GuiPrivate: no public call can) and records every event while it lives.

#include <QAccessible>
#include <QList>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

class AccessibilitySpy {
public:
    struct Event {
        QObject* object;
        QAccessible::Event type;
        QVariant value;             // of a value change
        QAccessible::State changed; // of a state change
    };

    AccessibilitySpy()
    {
        events().clear();
        QAccessible::installUpdateHandler(&record);
        platform()->setActive(true);
    }
    ~AccessibilitySpy()
    {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    // The events about `object` since the spy was made or last cleared.
    QList<Event> about(const QObject* object) const
    {
        QList<Event> found;
        for (const Event& event : events())
            if (event.object == object)
                found << event;
        return found;
    }
    void clear() { events().clear(); }

private:
    static QPlatformAccessibility* platform()
    {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static QList<Event>& events()
    {
        static QList<Event> recorded;
        return recorded;
    }
    static void record(QAccessibleEvent* event)
    {
        Event recorded{event->object(), event->type(), {}, {}};
        if (event->type() == QAccessible::ValueChanged)
            recorded.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        if (event->type() == QAccessible::StateChanged)
            recorded.changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        events() << recorded;
    }
};
