#pragma once

#include "dialmodel.h"

#include <QWidget>

#include <array>

class DialPane;
class QLabel;
class QToolButton;

// The contents of the time panel `FrTimer`: the stacked dial panes, the
// day/night icons, the readouts and the two half buttons. The arithmetic is
// DialModel's; this widget passes the mouse on and shows the result.
class DialPanel : public QWidget
{
    Q_OBJECT
public:
    explicit DialPanel(QWidget* parent);

    // Once at program start: the ring and corner shapes, the brown of the
    // hand area, this panel and its frame, the day half.
    void startUp();
    // The menu opens the dial: hand at 12 o'clock, "12" and "00", frozen,
    // and the hour-stage look of the labels.
    void ResetDial();
    // OK in the hour stage: the dial becomes the minute picker.
    void confirmHour();
    // OK in the minute stage: the minute gets its leading zero.
    void confirmMinute();

    // The arrow keys: the hand one hour (hour stage) or one minute on.
    void stepHand(int steps);
    void doPoludny_Click();
    void poslePoledny_Click();

    QString hourText() const;   // Shas
    QString minuteText() const; // Minute
    QString hourNev() const;
    QString sag12() const;

    const DialModel& model() const { return m_model; }

signals:
    void hintChanged(const QString& text);

private:
    void showModel();
    QLabel* readout(const char* name, QRect geometry, const QString& text);

    DialModel m_model;
    DialPane* m_fonStrelki = nullptr;
    DialPane* m_picWremyU = nullptr;
    DialPane* m_maska = nullptr;
    std::array<QLabel*, 4> m_imSolnse{};
    QLabel* m_strelka = nullptr;
    QLabel* m_hourNev = nullptr;
    QLabel* m_sag12 = nullptr;
    QLabel* m_shas = nullptr;
    QLabel* m_minute = nullptr;
    QToolButton* m_doPoludny = nullptr;
    QToolButton* m_poslePoledny = nullptr;
    QPixmap m_hand;
};
