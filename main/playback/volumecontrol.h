#pragma once

#include "mixerfunctions.h"
#include "volumeslider.h"

#include <QWidget>

class QLabel;

// The volume slider as shown in the control bar: the track `linGromkoct`,
// the knob `picGromkoct`, the percentage `lblProzent2` and its "%" label
// `Label4`. Placed at the control bar's origin, so its coordinates are the
// bar's. Mouse events on the knob go to VolumeSlider.
class VolumeControl : public QWidget
{
    Q_OBJECT
public:
    explicit VolumeControl(MixerFunctions mixer, QWidget* parent = nullptr);

    void initialise(int foundPercent);
    const VolumeSlider& slider() const { return m_slider; }
    // Where the drag animation (GifCtl5) is to be placed.

signals:
    // The drag animation is to be shown (true) or hidden (false).
    void dragIndicatorChanged(bool visible);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent*) override;

private:
    void sync();

    VolumeSlider m_slider;
    QLabel* m_knob;
    QLabel* m_percent;
    QWidget* m_gifHost;
    bool m_indicatorShown = false;
};
