#include "settingspanel.h"

#include "pressable.h"

#include <QCheckBox>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 300;

struct MenuLine
{
    int x;
    int y;
    const char* text;
};

// Twips of the box; the text is printed from its top-left corner.
const MenuLine kMenuLines[] = {
    {100, 150, " Сменить заставку, на "},   {250, 450, "  уже существующие."},
    {100, 950, "  Выбрать заставку из "},   {500, 1150, " моих рисунков."},
    {100, 1550, "Восстановить рисунок"},    {500, 1750, "по умолчанию."},
    {10, 2150, " Добавить в автозагрузку"}, {10, 2350, "  и следить за назначен-"},
    {10, 2550, "      ными заданиями."},
};

// Line5 elements 0 to 5; element 4 is only an ornament at the top.
constexpr int kLine5[] = {840, 1470, 2070, 2850, 60, 3660};

// The box colour of a fresh box, the same light grey as the menu's.
const QColor kBoxColour(236, 236, 236);

struct Colours
{
    QColor text;
    QColor line;
    QColor frame;
};
// Dark print on a light preview, light print on a dark one.
const Colours kOnLight{QColor(12, 22, 56), QColor(120, 138, 168), QColor(214, 118, 18)};
const Colours kOnDark{QColor(225, 238, 255), QColor(70, 110, 150), QColor(255, 196, 84)};
// Mean grey below which the preview counts as dark: the light print keeps
// more contrast on middle tones than the dark one.
constexpr int kDarkBelow = 150;

constexpr int px(int twips)
{
    return twips / SettingsPanel::kTwipsPerPixel;
}

} // namespace

SettingsPanel::SettingsPanel(QWidget* parent) : QWidget(parent), m_menu(kWidth * kTwipsPerPixel)
{
    setObjectName(QStringLiteral("picWibora"));
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);

    for (int i = 0; i < int(std::size(kLine5)); ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line5_%1").arg(i));
        line->setGeometry(8, px(kLine5[i]), kWidth - 16, 1);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_line5[size_t(i)] = line;
    }
    // Each highlight frames its band between the separators.
    for (int band = 0; band < SettingsMenu::kBandCount; ++band) {
        const int top = band == 0 ? px(kLine5[4]) : px(SettingsMenu::kLines[size_t(band)]);
        const int bottom = px(SettingsMenu::kLines[size_t(band) + 1]);
        auto* shape = new QFrame(this);
        shape->setObjectName(QStringLiteral("Shape1_%1").arg(band));
        shape->setGeometry(1, top + 2, kWidth - 2, bottom - top - 3);
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);
        shape->hide();
        m_shape1[size_t(band)] = shape;
        // For screen readers: the band by its printed words, a see-through
        // part of the panel pressed where the mouse would press it.
        static const char* const names[SettingsMenu::kBandCount] = {
            "Сменить заставку на уже существующие", "Выбрать заставку из моих рисунков",
            "Восстановить рисунок по умолчанию",
            "Добавить в автозагрузку и следить за назначенными заданиями"};
        auto* item = new QWidget(this);
        item->setObjectName(QStringLiteral("settingsItem%1").arg(band));
        item->setGeometry(shape->geometry());
        item->setAttribute(Qt::WA_TransparentForMouseEvents);
        Pressable::mark(item, QString::fromUtf8(names[band]), QAccessible::MenuItem);
    }
    // Below the menu's last line, where clicks did nothing: the suite's two
    // switches, in the menu's print.
    const auto addSwitch = [this](const char* name, const QString& text, int top) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(14, top, kWidth - 22, 22);
        box->hide();
        connect(box, &QCheckBox::clicked, this, [this] { emit optionsChanged(options()); });
        return box;
    };
    m_voiceAfterChime =
        addSwitch("chkVoiceAfterChime", QStringLiteral("Запись после сигнала"), px(kLine5[5]) + 6);
    m_notifications =
        addSwitch("chkNotifications", QStringLiteral("Уведомления о заданиях"), px(kLine5[5]) + 28);
    applyColours();
}

void SettingsPanel::setOptions(const SuiteOptions& options)
{
    m_voiceAfterChime->setChecked(options.voiceAfterChime);
    m_notifications->setChecked(options.notifications);
}

SuiteOptions SettingsPanel::options() const
{
    SuiteOptions options;
    options.voiceAfterChime = m_voiceAfterChime->isChecked();
    options.notifications = m_notifications->isChecked();
    return options;
}

void SettingsPanel::setPreview(const QImage& preview)
{
    m_preview = preview.isNull()
                    ? QImage()
                    : preview.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
    // The mean brightness of a coarse sample decides the print colours.
    qint64 sum = 0;
    int n = 0;
    for (int y = 0; y < m_preview.height(); y += 5)
        for (int x = 0; x < m_preview.width(); x += 5, ++n)
            sum += qGray(m_preview.pixel(x, y));
    m_darkPreview = n > 0 && sum / n < kDarkBelow;
    applyColours();
    m_menuPrinted = false;
    m_voiceAfterChime->hide();
    m_notifications->hide();
    update();
}

void SettingsPanel::applyColours()
{
    const Colours& c = m_darkPreview ? kOnDark : kOnLight;
    for (QFrame* line : m_line5)
        line->setStyleSheet(QStringLiteral("background: %1;").arg(c.line.name()));
    const QString frame = QStringLiteral("border: 1px solid %1; border-radius: 6px;"
                                         "background: rgba(%2, %3, %4, 48);")
                              .arg(c.frame.name())
                              .arg(c.frame.red())
                              .arg(c.frame.green())
                              .arg(c.frame.blue());
    for (QFrame* shape : m_shape1)
        shape->setStyleSheet(frame);
    const QString switches =
        QStringLiteral("QCheckBox { color: %1; background: transparent; spacing: 8px; }"
                       "QCheckBox::indicator { width: 11px; height: 11px; border: 1px solid %2;"
                       " border-radius: 2px; background: transparent; }"
                       "QCheckBox::indicator:checked { background: %3; }")
            .arg(c.text.name(), c.text.name(), c.frame.name());
    for (QCheckBox* box : {m_voiceAfterChime, m_notifications})
        if (box)
            box->setStyleSheet(switches);
}

void SettingsPanel::drawSettingsMenu()
{
    m_menuPrinted = true;
    m_voiceAfterChime->show();
    m_notifications->show();
    update();
}

void SettingsPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_preview.isNull())
        p.fillRect(rect(), kBoxColour);
    else
        p.drawImage(0, 0, m_preview);
    if (!m_menuPrinted)
        return;
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen((m_darkPreview ? kOnDark : kOnLight).text);
    const QFontMetrics fm(font());
    for (const MenuLine& line : kMenuLines)
        p.drawText(px(line.x), px(line.y) + fm.ascent(), QString::fromUtf8(line.text));
}

void SettingsPanel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_menu.move(pos.x() * kTwipsPerPixel, pos.y() * kTwipsPerPixel);
    showHighlights();
}

void SettingsPanel::mousePressEvent(QMouseEvent*)
{
    const SettingsMenu::Click click = m_menu.click();
    emit itemClicked(click.panelMode);
    switch (click.action) {
    case SettingsMenu::Action::BrowseSaved:
        emit browseSavedRequested();
        break;
    case SettingsMenu::Action::ChooseOwn:
        emit ownPictureRequested();
        break;
    case SettingsMenu::Action::RestoreDefault:
        emit restoreDefaultRequested();
        break;
    case SettingsMenu::Action::InstallWatcher:
        emit autostartRequested();
        break;
    case SettingsMenu::Action::None:
        break;
    }
}

void SettingsPanel::leaveEvent(QEvent*)
{
    m_menu.leave();
    showHighlights();
}

void SettingsPanel::hideEvent(QHideEvent*)
{
    m_menu.leave();
    showHighlights();
}

void SettingsPanel::showHighlights()
{
    for (int band = 0; band < SettingsMenu::kBandCount; ++band)
        m_shape1[size_t(band)]->setVisible(m_menu.highlightShown(band));
}
