#include "aboutpanel.h"

#include "animation.h"
#include "gifctl.h"
#include "layout.h"
#include "linklabel.h"

#include <QLabel>

AboutPanel::AboutPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("FraAbobe"));
    const int width = Layout::kPanel.width();

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/art/quillmur.png")));
    picture->setGeometry(40, 90, 64, 64);

    const QString mail = QStringLiteral("quillmur@example.org");
    auto* labe14 = new LinkLabel(
        mail, QUrl(QStringLiteral("mailto:") + mail + QStringLiteral("?Subject=Тема")), this);
    labe14->setObjectName(QStringLiteral("Labe14"));
    labe14->setGeometry(0, 190, width, 20);
    const QString web = QStringLiteral("https://quillmur.example.org/");
    auto* label13 = new LinkLabel(web, QUrl(web), this);
    label13->setObjectName(QStringLiteral("Label13"));
    label13->setGeometry(0, 214, width, 20);
    for (QLabel* link : {static_cast<QLabel*>(labe14), static_cast<QLabel*>(label13)}) {
        link->setAlignment(Qt::AlignCenter);
        QPalette lp = link->palette();
        lp.setColor(QPalette::WindowText, QColor(120, 180, 255));
        link->setPalette(lp);
        QFont lf = link->font();
        lf.setUnderline(true);
        link->setFont(lf);
    }

    QPalette light = palette();
    light.setColor(QPalette::WindowText, QColor(170, 230, 190));
    auto* title = new QLabel(QStringLiteral("Vestrel"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setGeometry(0, 20, width, 30);
    title->setAlignment(Qt::AlignCenter);
    title->setPalette(light);
    QFont titleFont = title->font();
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    title->setFont(titleFont);
    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setGeometry(0, 54, width, 20);
    m_lblVersion->setAlignment(Qt::AlignCenter);
    m_lblVersion->setPalette(light);

    Animation::make(this, 6, true)->move(116, 100);
}

void AboutPanel::setVersion(const QString& text)
{
    m_lblVersion->setText(text);
}
