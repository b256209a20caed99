#include "linklabel.h"

#include "pressable.h"

#include <QDesktopServices>

LinkLabel::LinkLabel(const QString& caption, const QUrl& target, QWidget* parent)
    : QLabel(caption, parent), m_target(target),
      m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setCursor(Qt::PointingHandCursor);
    Pressable::mark(this, caption, QAccessible::Link);
}

void LinkLabel::mousePressEvent(QMouseEvent*)
{
    // Whether a mail program or browser opened is not looked at.
    m_opener(m_target);
}
