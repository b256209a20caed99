#include "stateholders.h"

#include "menuimages.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

template <typename W> W* hiddenHolder(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->hide();
    return w;
}

} // namespace

StateHolders StateHolders::build(QWidget* window)
{
    StateHolders h;
    h.imyFileMp3 = hiddenHolder<QLineEdit>(window, "imyFileMp3");
    h.text1 = hiddenHolder<QLineEdit>(window, "Text1");
    h.file1 = hiddenHolder<QListWidget>(window, "File1");
    h.command2 = hiddenHolder<QPushButton>(window, "Command2");
    h.command2->setText(QStringLiteral("Меню"));
    h.picProzr = hiddenHolder<QLabel>(window, "picProzr");
    hiddenHolder<QLabel>(window, "picText")->setPixmap(QPixmap::fromImage(MenuImages::captions()));
    hiddenHolder<QLabel>(window, "picTemp");
    return h;
}

void showAdded(QWidget* root)
{
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->isHidden() && !w->testAttribute(Qt::WA_WState_ExplicitShowHide) && !w->isWindow() &&
            w->parentWidget()->isVisible())
            w->show();
}
