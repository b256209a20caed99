#include "menupanel.h"

#include "gifctl.h"
#include "pressable.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {
constexpr int kItemTops[4] = {0, 74, 148, 220}; // 0, 1110, 2220, 3300 twips
constexpr QSize kItemSize(200, 74);             // 3000 x 1110 twips
} // namespace

MenuPanel::MenuPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("menuPanel"));
    setFixedSize(MenuImages::kWidth, MenuImages::kHeight);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("picMeny"));
        label->setProperty("Index", i);
        label->setGeometry(QRect(QPoint(0, kItemTops[i]), kItemSize));
        Pressable::mark(label, hintText(i), QAccessible::MenuItem);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        if (i < 2)
            label->setToolTip(hintText(i));
        m_items[size_t(i)] = label;
        // The item's animation runs only while the item is highlighted; the
        // mouse passes through it to the item.
        auto* g = new GifCtl(label);
        g->setObjectName(QStringLiteral("GifCtl1"));
        g->setProperty("Index", i);
        g->SetBackStyle(0);
        g->SetAutoStart(false);
        g->LoadFile(QStringLiteral(":/art/gifctl1_%1.gif").arg(i));
        g->setGeometry(QRect(QPoint(4, 7), g->gifSize()));
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_animations[size_t(i)] = g;
    }
    connect(this, &MenuPanel::animationEnabled, this,
            [this](int item, bool on) { m_animations[size_t(item)]->SetEnabled(on); });
}

GifCtl* MenuPanel::animation(int item) const
{
    return item >= 0 && item < 4 ? m_animations[size_t(item)] : nullptr;
}

QString MenuPanel::hintText(int item)
{
    static const char* const texts[4] = {"Уже запланированные задачи", "Создать новую запись",
                                         "Записать и сохранить в файл", "Настройки"};
    return item >= 0 && item < 4 ? QString::fromUtf8(texts[item]) : QString();
}

QWidget* MenuPanel::item(int i) const
{
    return i >= 0 && i < 4 ? m_items[size_t(i)] : nullptr;
}

QImage MenuPanel::build(const QImage& background)
{
    m_images.build(background);
    m_highlighted = -1;
    for (int i = 0; i < 4; ++i)
        m_items[size_t(i)]->setPixmap(
            QPixmap::fromImage(MenuImages::quarter(m_images.dimmed(), i, kItemSize)));
    return m_images.bright();
}

void MenuPanel::highlight(int i)
{
    if (m_highlighted == i)
        return;
    if (m_highlighted >= 0)
        leave();
    m_highlighted = i;
    emit hintChanged(hintText(i));
    emit animationEnabled(i, true);
    m_items[size_t(i)]->setPixmap(
        QPixmap::fromImage(MenuImages::quarter(m_images.bright(), i, kItemSize)));
}

void MenuPanel::leave()
{
    for (int i = 0; i < 4; ++i)
        m_items[size_t(i)]->setPixmap(
            QPixmap::fromImage(MenuImages::quarter(m_images.dimmed(), i, kItemSize)));
    for (int i = 0; i < 4; ++i)
        emit animationEnabled(i, false);
    emit hintChanged(QString());
    m_highlighted = -1;
}

bool MenuPanel::eventFilter(QObject* watched, QEvent* event)
{
    const int i = watched->property("Index").toInt();
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label || watched->objectName() != QLatin1String("picMeny"))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (pos.x() > 0 && pos.x() < label->width() && pos.y() > 0 && pos.y() < label->height())
            highlight(i);
        else if (m_highlighted >= 0)
            leave();
        break;
    }
    case QEvent::Leave:
        if (m_highlighted == i)
            leave();
        break;
    case QEvent::MouseButtonPress:
        emit itemClicked(i);
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
