#include "helppanel.h"

#include "animation.h"
#include "gifctl.h"
#include "helptext.h"
#include "layout.h"

HelpPanel::HelpPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraSpravka"));
    const QSize size = Layout::kPanel.size();

    auto* help = new HelpText(this);
    help->setGeometry(4, 4, size.width() - 8, size.height() - 8);
    QPalette paper = help->palette();
    paper.setColor(QPalette::Base, QColor(250, 246, 230));
    paper.setColor(QPalette::Text, QColor(30, 30, 40));
    help->setPalette(paper);
    QFont helpFont(QStringLiteral("DejaVu Sans"));
    helpFont.setPixelSize(10);
    helpFont.setLetterSpacing(QFont::PercentageSpacing, 92);
    help->setFont(helpFont);

    m_gifCtl13 = Animation::make(this, 13, false);
    m_gifCtl13->move(size.width() - m_gifCtl13->width() - 10,
                     size.height() - m_gifCtl13->height() - 10);
}

void HelpPanel::open()
{
    raise();
    m_gifCtl13->SetEnabled(true);
}
