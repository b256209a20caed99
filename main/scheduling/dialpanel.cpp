#include "dialpanel.h"

#include "dialpane.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {

const QColor kBrown(92, 62, 51);
const QColor kReadout(255, 236, 190);

void paintBrown(QWidget* w)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, kBrown);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// A straight decoration line, the stand-in for a line control.
class LineLabel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(kReadout, 1));
        p.drawLine(0, height() / 2, width(), height() / 2);
    }
};

} // namespace

DialPanel::DialPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DialPanel"));
    setGeometry(0, 0, 200, 300);

    const QPixmap dial(QStringLiteral(":/art/dial.png"));
    m_hand = QPixmap(QStringLiteral(":/art/strelka.png"));

    // Bottom to top: hand area, ring, corners.
    m_fonStrelki = new DialPane(DialPane::Role::Hole, this);
    m_picWremyU = new DialPane(DialPane::Role::Ring, this);
    m_picWremyU->setAccessibleName(QStringLiteral("Циферблат"));
    m_maska = new DialPane(DialPane::Role::Corner, this);
    m_picWremyU->setPicture(dial);
    m_maska->setPicture(dial);

    static const char* const kIcons[] = {"imsolnse0.png", "imsolnse1.png", "imsolnse2.png",
                                         "imsolnse3.png"};
    for (int i = 0; i < 4; ++i) {
        // 0 and 2 sit in the corner pane, 1 and 3 in the ring pane.
        auto* icon = new QLabel((i % 2 == 0) ? static_cast<QWidget*>(m_maska) : m_picWremyU);
        icon->setObjectName(QStringLiteral("imSolnse%1").arg(i));
        icon->setPixmap(QPixmap(QStringLiteral(":/art/") + QLatin1String(kIcons[i])));
        icon->resize(40, 40);
        icon->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_imSolnse[size_t(i)] = icon;
    }

    m_strelka = new QLabel(this);
    m_strelka->setObjectName(QStringLiteral("strelka"));
    m_strelka->setGeometry(70, 212, DialModel::kHandWidth, DialModel::kHandHeight);
    m_strelka->setPixmap(m_hand);

    // A little wider than the form's 23 pixels, so two bold digits never clip.
    m_hourNev = readout("HourNev", QRect(8, 212, 28, 24), QStringLiteral("12"));
    m_sag12 = readout("sag12", QRect(164, 212, 28, 24), QStringLiteral("00"));
    m_shas = readout("Shas", QRect(10, 214, 28, 24), QStringLiteral("00"));
    m_minute = readout("Minute", QRect(164, 212, 28, 24), QStringLiteral("00"));
    m_shas->hide();
    m_minute->hide();

    const char* const captions[] = {"Час.", "Мин."};
    const int captionX[] = {4, 158};
    for (int i = 0; i < 2; ++i) {
        auto* l = new QLabel(QString::fromUtf8(captions[i]), this);
        l->setObjectName(QStringLiteral("Podpis%1").arg(i));
        l->move(captionX[i], 238);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, kReadout);
        l->setPalette(pal);
    }
    auto* line4 = new LineLabel(this);
    line4->setObjectName(QStringLiteral("Line4"));
    line4->setGeometry(42, 224, 27, 3);

    m_doPoludny = new QToolButton(this);
    m_doPoludny->setObjectName(QStringLiteral("doPoludny"));
    m_doPoludny->setToolTip(QStringLiteral("С 6 утра до 18 вечера"));
    m_poslePoledny = new QToolButton(this);
    m_poslePoledny->setObjectName(QStringLiteral("poslePoledny"));
    const struct
    {
        QToolButton* b;
        const char* art;
        int x;
    } buttons[] = {{m_doPoludny, ":/art/dopoludny.png", 4},
                   {m_poslePoledny, ":/art/poslepoledny.png", 102}};
    for (const auto& b : buttons) {
        b.b->setIcon(QIcon(QString::fromLatin1(b.art)));
        b.b->setIconSize(QSize(90, 25));
        b.b->setGeometry(b.x, 262, 95, 33);
    }
    connect(m_doPoludny, &QToolButton::clicked, this, &DialPanel::doPoludny_Click);
    connect(m_poslePoledny, &QToolButton::clicked, this, &DialPanel::poslePoledny_Click);

    for (DialPane* pane : {m_fonStrelki, m_picWremyU})
        connect(pane, &DialPane::pressed, this, [this] { m_model.pressPane(); });
    connect(m_fonStrelki, &DialPane::moved, this, [this](QPoint p) {
        m_model.moveOverHole(p.x(), p.y());
        showModel();
    });
    connect(m_picWremyU, &DialPane::moved, this, [this](QPoint p) {
        m_model.moveOverRing(p.x(), p.y());
        showModel();
    });

    showModel();
}

QLabel* DialPanel::readout(const char* name, QRect geometry, const QString& text)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    QFont f = l->font();
    f.setPointSizeF(13.5);
    f.setBold(true);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kReadout);
    l->setPalette(pal);
    return l;
}

void DialPanel::startUp()
{
    m_picWremyU->applyShape();
    m_maska->applyShape();
    paintBrown(m_fonStrelki);
    paintBrown(this);
    if (parentWidget())
        paintBrown(parentWidget());
    m_model.startUp();
    showModel();
}

void DialPanel::ResetDial()
{
    m_model.reset();
    // Every reminder starts with the look of the first one.
    m_hourNev->show();
    m_sag12->show();
    m_shas->hide();
    m_minute->hide();
    showModel();
}

void DialPanel::confirmHour()
{
    m_model.enterMinuteStage();
    m_minute->show();
    m_sag12->hide();
    m_hourNev->hide();
    m_shas->show();
    showModel();
    emit hintChanged(QStringLiteral("Откорректируете минуты."));
}

void DialPanel::confirmMinute()
{
    m_model.confirmMinute();
    showModel();
}

void DialPanel::stepHand(int steps)
{
    m_model.stepHand(m_model.stage() == DialModel::Stage::Hour ? 5 * steps : steps);
    showModel();
}

void DialPanel::doPoludny_Click()
{
    m_model.switchToDay();
    showModel();
}

void DialPanel::poslePoledny_Click()
{
    m_model.switchToNight();
    showModel();
}

QString DialPanel::hourText() const
{
    return m_shas->text();
}
QString DialPanel::minuteText() const
{
    return m_minute->text();
}
QString DialPanel::hourNev() const
{
    return m_hourNev->text();
}
QString DialPanel::sag12() const
{
    return m_sag12->text();
}

void DialPanel::showModel()
{
    m_hourNev->setText(m_model.hourNev());
    m_sag12->setText(m_model.sag12());
    m_shas->setText(m_model.shas());
    m_minute->setText(m_model.minute());
    for (int i = 0; i < 4; ++i) {
        m_imSolnse[size_t(i)]->move(m_model.iconPosition(i));
        m_imSolnse[size_t(i)]->setVisible(m_model.iconVisible(i));
    }
    m_fonStrelki->setHand(m_hand, m_model.handPoints());
    m_fonStrelki->setVisible(m_model.handAreaVisible());
    m_picWremyU->setPointer(m_model.pointerStart(), m_model.pointerEnd(), m_model.pointerVisible());
}
