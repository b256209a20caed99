#pragma once

#include "commentrule.h"

#include <QLineEdit>

// `txtKoment`: the one-line comment of a recording. It holds at most 29
// characters and no blanks (a typed or pasted space becomes "_"), and a
// right-button press never opens a menu.
class CommentField : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = CommentRule::kMaxLength;

    explicit CommentField(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
