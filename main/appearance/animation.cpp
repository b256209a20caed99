#include "animation.h"

#include "gifctl.h"

namespace Animation {

GifCtl* make(QWidget* parent, int number, bool autoStart)
{
    auto* g = new GifCtl(parent);
    g->setObjectName(QStringLiteral("GifCtl%1").arg(number));
    g->SetBackStyle(0);
    g->SetAutoStart(autoStart);
    g->LoadFile(QStringLiteral(":/art/gifctl%1.gif").arg(number));
    g->resize(g->gifSize());
    return g;
}

void centre(QWidget* animation)
{
    const QWidget* host = animation->parentWidget();
    animation->move((host->width() - animation->width()) / 2,
                    (host->height() - animation->height()) / 2);
}

} // namespace Animation
