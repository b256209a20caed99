#pragma once

#include <QAccessible>
#include <QPoint>
#include <QString>

class QWidget;

// The window's controls are pictures that take the mouse themselves, so
// assistive technology (AT-SPI through Qt's bridge) sees them only when
// they are marked here: a name and role in Russian, and a "press" action
// that clicks the control where the mouse would, with the same press and
// release a user's click makes. A control covered by the panel in front
// reads as not showing and its action does nothing: what is not on the
// screen cannot be pressed.
namespace Pressable {

// Names `w`, gives it `role` and the press action. Installs the factory that
// makes the accessible interfaces on first use.
void mark(QWidget* w, const QString& name, QAccessible::Role role = QAccessible::Button);

// Gives `w` a role without the press action (the hint line is the window's
// status bar). A label's name is its text unless it was named.
void setRole(QWidget* w, QAccessible::Role role);

// Where a press of `w` lands (in `w`'s coordinates): its centre, or the
// middle of its largest opaque part when it has a mask that leaves the
// centre out.
QPoint pressPoint(const QWidget* w);

// The widget a click at the press point reaches, or nullptr when something
// else covers it. A control that lets the mouse through (a zone over a
// button) is pressed by clicking what lies under it.
QWidget* pressTarget(const QWidget* w);

// Clicks `w` as the mouse would; false when it is covered or hidden.
bool press(QWidget* w);

} // namespace Pressable
