#include "pressable.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace {

constexpr char kRoleProperty[] = "pressableRole";
constexpr char kPressProperty[] = "pressableAction";

void installFactory();

class PressableInterface : public QAccessibleWidget
{
public:
    PressableInterface(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (widget()->property(kPressProperty).toBool() && !Pressable::pressTarget(widget()))
            s.invisible = true;
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (t == QAccessible::Name && label && label->accessibleName().isEmpty())
            return label->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return widget()->property(kPressProperty).toBool() ? QStringList{pressAction()}
                                                           : QStringList{};
    }
    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction() || !widget()->property(kPressProperty).toBool())
            return;
        // As a click, the press is handled once the caller has its answer:
        // what it starts (a question, a wait for the sound server) must not
        // keep the screen reader waiting.
        QTimer::singleShot(0, widget(), [w = QPointer<QWidget>(widget())] {
            if (w)
                Pressable::press(w);
        });
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    const QVariant role = w->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new PressableInterface(w, QAccessible::Role(role.toInt()));
}

bool related(const QWidget* w, const QWidget* hit)
{
    if (hit == w || w->isAncestorOf(hit))
        return true;
    // A see-through control is pressed through to what is under it.
    return w->testAttribute(Qt::WA_TransparentForMouseEvents) && hit->isAncestorOf(w);
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

// Qt keeps a widget's interface from the first time it is asked for (a
// label's text set in its constructor does): one made before the widget
// was marked is dropped, so that the next question makes ours.
void forgetOtherInterface(QWidget* w)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface && !dynamic_cast<PressableInterface*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

} // namespace

namespace Pressable {

void mark(QWidget* w, const QString& name, QAccessible::Role role)
{
    installFactory();
    w->setProperty(kPressProperty, true);
    w->setProperty(kRoleProperty, int(role));
    forgetOtherInterface(w);
    w->setAccessibleName(name);
}

void setRole(QWidget* w, QAccessible::Role role)
{
    installFactory();
    w->setProperty(kRoleProperty, int(role));
    forgetOtherInterface(w);
}

QPoint pressPoint(const QWidget* w)
{
    const QPoint centre = w->rect().center();
    const QRegion mask = w->mask();
    if (mask.isEmpty() || mask.contains(centre))
        return centre;
    QRect largest;
    for (const QRect& r : mask)
        if (r.width() * r.height() > largest.width() * largest.height())
            largest = r;
    return largest.center();
}

QWidget* pressTarget(const QWidget* w)
{
    if (!w || !w->isVisible())
        return nullptr;
    QWidget* top = w->window();
    const QPoint at = w->mapTo(top, pressPoint(w));
    QWidget* hit = top->childAt(at);
    if (!hit && top->rect().contains(at))
        hit = top; // no child there: the window itself
    return hit && related(w, hit) ? hit : nullptr;
}

bool press(QWidget* w)
{
    QPointer<QWidget> target = pressTarget(w);
    if (!target)
        return false;
    const QPoint global = w->mapToGlobal(pressPoint(w));
    const QPointF local = target->mapFromGlobal(global);
    // The pointer comes to the control first, as a hand's does: controls
    // that light up under it (and act on what is lit) see it there.
    QMouseEvent move(QEvent::MouseMove, local, local, global, Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!target)
        return true;
    QMouseEvent down(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(target, &down);
    // The press may have changed the window (a panel closed); the release
    // goes where the press went, as the mouse's does.
    if (target) {
        QMouseEvent up(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &up);
    }
    return true;
}

} // namespace Pressable
