#include "helppanel.h"

#include "animation.h"
#include "gifctl.h"
#include "helptext.h"
#include "layout.h"

#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>

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
    // "... появится вот такой значок.": the watcher's icon, right there.
    m_trayIcon = new QLabel(this);
    m_trayIcon->setObjectName(QStringLiteral("trayIconSample"));
    m_trayIcon->setPixmap(QPixmap(QStringLiteral(":/art/trayicon0.png"))
                              .scaled(14, 14, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_trayIcon->setFixedSize(14, 14);
    // Added to a panel already on show, they stay hidden until shown themselves.
    if (isVisible()) {
        m_text->show();
        m_trayIcon->show();
    }
}

void HelpPanel::placeTrayIcon()
{
    const QString words = QStringLiteral("значок.");
    for (QTextBlock line = m_text->document()->begin(); line.isValid(); line = line.next()) {
        const int at = line.text().indexOf(words);
        if (at < 0)
            continue;
        QTextCursor cursor(line);
        cursor.setPosition(line.position() + at + int(words.size()));
        const QRect end = m_text->cursorRect(cursor);
        const QPoint p = m_text->viewport()->mapTo(this, end.topLeft());
        m_trayIcon->move(p.x() + 4, p.y() + (end.height() - m_trayIcon->height()) / 2);
        return;
    }
}

void HelpPanel::showKeys(bool keys)
{
    buildText();
    m_showsKeys = keys;
    int line = 0;
    if (keys)
        line = m_text->document()->find(HelpText::keysHeading()).block().firstLineNumber();
    m_text->verticalScrollBar()->setValue(line);
    // The icon belongs beside its words, which scroll away with the keys.
    m_trayIcon->setVisible(!keys && isVisible());
    if (!keys)
        placeTrayIcon();
}

void HelpPanel::open()
{
    buildText();
    if (m_showsKeys)
        showKeys(false);
    raise();
    placeTrayIcon();
    m_gifCtl13->SetEnabled(true);
}
