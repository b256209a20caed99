#include "commentfield.h"

#include "commentrule.h"
#include "pause.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

CommentField::CommentField(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("txtKoment"));
    setMaxLength(kMaxLength);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Typing and pasting both land here; the comment travels as one word.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.contains(QLatin1Char(' ')))
            return;
        const int cursor = cursorPosition();
        setText(CommentRule::blanksReplaced(text));
        setCursorPosition(cursor);
    });
}

void CommentField::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        setEnabled(false);
        Pause(200);
        setEnabled(true);
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CommentField::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}
