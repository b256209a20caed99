#include "deviceface.h"

#include "pressable.h"

#include "aboutpanel.h"
#include "animation.h"
#include "controlbutton.h"
#include "gifctl.h"
#include "helppanel.h"
#include "layout.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>

DeviceFace::DeviceFace(std::function<void(QWidget*)> dragWindow, QWidget* parent)
    : QLabel(parent), m_dragWindow(std::move(dragWindow))
{
    setObjectName(QStringLiteral("Picture1"));
    setGeometry(Layout::kPicture1);
    setPixmap(QPixmap(QStringLiteral(":/art/device.png")));
    installEventFilter(this);
    setMouseTracking(true);
    buildPanels();
    buildHintAndLamp();
    buildWindowButtons();
}

void DeviceFace::buildPanels()
{
    // The panels of the screen, in their stacking order at start.
    m_about = new AboutPanel;
    m_help = new HelpPanel;
    const char* const names[] = {"fraZastavra", "fraMeny",    "fraSpisok", "FrTimer",
                                 "fraCalendar", "fraMonitor", "FraSteret", "fraNastroiki"};
    QList<QFrame*> frames;
    for (const char* name : names) {
        frames.append(new QFrame);
        frames.last()->setObjectName(QLatin1String(name));
    }
    frames << m_about << m_help;
    for (QFrame* frame : frames) {
        frame->setParent(this);
        frame->setGeometry(Layout::kPanel);
        frame->setAutoFillBackground(true);
        QPalette fp = frame->palette();
        fp.setColor(QPalette::Window, QColor(0, 0, 0));
        frame->setPalette(fp);
    }
    m_panels = frames;
}

void DeviceFace::buildHintAndLamp()
{
    m_lbHelp = new QLabel(this);
    m_lbHelp->setObjectName(QStringLiteral("lbHelp"));
    m_lbHelp->setGeometry(Layout::kHintLine);
    m_lbHelp->setAlignment(Qt::AlignCenter);
    m_lbHelp->setWordWrap(true); // the longest hints take two lines
    // Read as the window's status line; each new hint is announced.
    Pressable::setRole(m_lbHelp, QAccessible::StatusBar);
    QPalette hp = m_lbHelp->palette();
    hp.setColor(QPalette::WindowText, QColor(120, 240, 150));
    m_lbHelp->setPalette(hp);
    QFont hf(QStringLiteral("DejaVu Sans"));
    hf.setPixelSize(9);
    m_lbHelp->setFont(hf);

    m_lampa = new QLabel(this);
    m_lampa->setObjectName(QStringLiteral("Lampa"));
    m_lampa->setGeometry(Layout::kLamp);
    m_lampa->setStyleSheet(QStringLiteral("background: #ff3030; border-radius: 6px;"));
    m_lampa->hide();

    auto* okFrame = new QFrame(this);
    okFrame->setObjectName(QStringLiteral("picOKFrame"));
    okFrame->setGeometry(Layout::kControlButtonFrame);
    m_picOK = new ControlButton(okFrame);
    m_picOK->move(Layout::kControlButton.topLeft());
    connect(m_picOK, &ControlButton::zonePressed, this, &DeviceFace::controlButtonPressed);
}

void DeviceFace::buildWindowButtons()
{
    // The four window buttons: animated while pointed at, stopped when the
    // mouse moves over the device or the control button.
    struct Button
    {
        int number;
        QRect geometry;
        const char* tip;
        const char* name; // for screen readers
    };
    const Button buttons[] = {{12, Layout::kMenuButton, "Меню", "Меню"},
                              {11, Layout::kAboutButton, "О программе", "О программе"},
                              {10, Layout::kExitButton, "Выход", "Закрыть"},
                              {9, Layout::kHelpButton, "Справка", "Справка"}};
    for (const Button& b : buttons) {
        GifCtl* g = Animation::make(this, b.number, false);
        g->setGeometry(b.geometry);
        g->setToolTip(QString::fromUtf8(b.tip));
        Pressable::mark(g, QString::fromUtf8(b.name));
        connect(g, &GifCtl::MouseMove, g, [g] { g->SetEnabled(true); });
    }
    connect(windowButton(12), &GifCtl::Click, this, &DeviceFace::menuClicked);
    connect(windowButton(11), &GifCtl::Click, this, [this] { showPanel(m_about); });
    connect(windowButton(10), &GifCtl::Click, this, &DeviceFace::exitClicked);
    connect(windowButton(9), &GifCtl::Click, this, &DeviceFace::helpClicked);
    connect(m_picOK, &ControlButton::hovered, this, &DeviceFace::stopWindowButtons);
}

GifCtl* DeviceFace::windowButton(int number) const
{
    return findChild<GifCtl*>(QStringLiteral("GifCtl%1").arg(number), Qt::FindDirectChildrenOnly);
}

void DeviceFace::stopWindowButtons()
{
    for (int n : {9, 10, 11, 12})
        windowButton(n)->SetEnabled(false);
}

QFrame* DeviceFace::panel(const QString& name) const
{
    for (QFrame* f : m_panels)
        if (f->objectName() == name)
            return f;
    return nullptr;
}

void DeviceFace::showPanel(QFrame* p)
{
    if (p)
        p->raise();
}

QFrame* DeviceFace::frontPanel() const
{
    // The last of the device's children among the panels is the one on top.
    for (auto it = children().crbegin(); it != children().crend(); ++it)
        if (auto* f = qobject_cast<QFrame*>(*it); f && m_panels.contains(f))
            return f;
    return nullptr;
}

void DeviceFace::setHint(const QString& text)
{
    m_lbHelp->setText(text);
    m_lbHelp->setToolTip(text); // the whole text, should it not fit
}

QString DeviceFace::hint() const
{
    return m_lbHelp->text();
}

bool DeviceFace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this)
        return QLabel::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Presses on the panels and pictures lying on the device arrive here
        // too when their widget ignores them; only the device itself moves
        // the window.
        auto* e = static_cast<QMouseEvent*>(event);
        if (childAt(e->position().toPoint()))
            break;
        m_dragFrom = e->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        // The window manager takes the pointer for a move, so the move starts
        // only once the pointer has really been dragged: a click or a double
        // click on the window stays a click.
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_dragFrom && e->buttons() != Qt::NoButton &&
            (e->globalPosition().toPoint() - *m_dragFrom).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_dragFrom.reset();
            if (m_dragWindow)
                m_dragWindow(window());
            return true;
        }
        m_picOK->showNormal();
        stopWindowButtons();
        break;
    }
    case QEvent::MouseButtonRelease:
        m_dragFrom.reset();
        break;
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}
