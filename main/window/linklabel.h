#pragma once

#include <QLabel>
#include <QUrl>

#include <functional>

// A label that opens an address (mail or web) when clicked.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    using Opener = std::function<bool(const QUrl&)>;

    LinkLabel(const QString& caption, const QUrl& target, QWidget* parent = nullptr);

    QUrl target() const { return m_target; }
    // Tests replace the desktop's opener with their own.
    void setOpener(Opener opener) { m_opener = std::move(opener); }

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    QUrl m_target;
    Opener m_opener;
};
