#pragma once

#include "buttonzone.h"

#include <QLabel>
#include <QList>
#include <QPoint>

#include <functional>
#include <optional>

class AboutPanel;
class ControlButton;
class GifCtl;
class HelpPanel;
class QFrame;

// The device itself: the picture of the black handheld (`Picture1`) with the
// panels of its screen stacked on it, the hint line `lbHelp`, the recording
// lamp `Lampa`, the control button `picOK` and the four animated window
// buttons. Exactly one panel is in front at a time; a drag on the bare device
// moves the window.
class DeviceFace : public QLabel
{
    Q_OBJECT
public:
    // `dragWindow` hands the window to the window manager for a move.
    DeviceFace(std::function<void(QWidget* window)> dragWindow, QWidget* parent);

    // The screen's panels by their object names ("fraZastavra", "fraMeny",
    // "fraSpisok", "FrTimer", "fraCalendar", "fraMonitor", "FraSteret",
    // "fraNastroiki", "FraAbobe", "fraSpravka").
    QFrame* panel(const QString& name) const;
    // Brings a panel to the front of the stacking order (others stay shown).
    void showPanel(QFrame* panel);
    QFrame* frontPanel() const;

    void setHint(const QString& text);
    QString hint() const;

    QLabel* lamp() const { return m_lampa; }
    ControlButton* controlButton() const { return m_picOK; }
    AboutPanel* about() const { return m_about; }
    HelpPanel* help() const { return m_help; }

signals:
    void controlButtonPressed(ButtonZone zone);
    void menuClicked();
    void helpClicked();
    void exitClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanels();
    void buildHintAndLamp();
    void buildWindowButtons();
    GifCtl* windowButton(int number) const;
    void stopWindowButtons();

    std::function<void(QWidget*)> m_dragWindow;
    // Where the pointer went down on the bare device; set until it is
    // released or the window is moved.
    std::optional<QPoint> m_dragFrom;
    QList<QFrame*> m_panels;
    AboutPanel* m_about = nullptr;
    HelpPanel* m_help = nullptr;
    QLabel* m_lbHelp = nullptr;
    QLabel* m_lampa = nullptr;
    ControlButton* m_picOK = nullptr;
};
