#pragma once

#include "commentrule.h"

#include <QLineEdit>

#include <functional>

// `txtKoment`: the one-line comment of a recording. It holds at most 29
// characters and no blanks (a typed or pasted space becomes "_"), and a
// right-button press never opens a menu.
class CommentField : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = CommentRule::kMaxLength;

    explicit CommentField(QWidget* parent = nullptr);
    // The wait while the field is disabled after a right-button press
    // (Pause by default); tests hand in their own.
    void setWaiter(std::function<void(int ms)> wait) { m_wait = std::move(wait); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::function<void(int)> m_wait;
};
