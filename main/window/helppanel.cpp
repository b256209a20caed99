#include "helppanel.h"

#include "animation.h"
#include "gifctl.h"
#include "helptext.h"
#include "layout.h"

HelpPanel::HelpPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraSpravka"));
    const QSize size = Layout::kPanel.size();
    m_gifCtl13 = Animation::make(this, 13, false);
    m_gifCtl13->move(size.width() - m_gifCtl13->width() - 10,
                     size.height() - m_gifCtl13->height() - 10);
}

void HelpPanel::buildText()
{
    if (m_text)
        return;
    const QSize size = Layout::kPanel.size();
    m_text = new HelpText(this);
    m_text->setGeometry(4, 4, size.width() - 8, size.height() - 8);
    QPalette paper = m_text->palette();
    paper.setColor(QPalette::Base, QColor(250, 246, 230));
    paper.setColor(QPalette::Text, QColor(30, 30, 40));
    m_text->setPalette(paper);
    QFont helpFont(QStringLiteral("DejaVu Sans"));
    helpFont.setPixelSize(10);
    helpFont.setLetterSpacing(QFont::PercentageSpacing, 92);
    m_text->setFont(helpFont);
    m_text->lower(); // under the animation
    // Added to a panel already on show, it stays hidden until shown itself.
    if (isVisible())
        m_text->show();
}

void HelpPanel::open()
{
    buildText();
    raise();
    m_gifCtl13->SetEnabled(true);
}
