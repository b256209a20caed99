#pragma once

#include "mixerfunctions.h"

#include <QString>

// The vertical volume slider beside the playback buttons: a knob dragged
// along a track from 100 % at the top to 0 % at the bottom. Positions are in
// twips inside the control bar. Each move writes the speaker volume.
class VolumeSlider
{
public:
    static constexpr int kTop = 60;     // Y1 of the track: 100 %
    static constexpr int kBottom = 710; // Y2 of the track: 0 %
    static constexpr int kKnobWidth = 330;
    static constexpr int kKnobHeight = 180;
    static constexpr int kKnobLeft = 120;
    static constexpr int kTrackX = 270;
    static constexpr int kDesignTop = 450;

    explicit VolumeSlider(MixerFunctions mixer);

    // The percentage a knob top stands for, kept within 0..100.
    static int percentAt(int knobTop);

    // Start-up: a speaker volume found at 50 % or more is raised to 100,
    // anything lower is set to 50; the knob follows.
    void initialise(int foundPercent);

    // A button went down `y` twips below the knob's top edge.
    void press(double y);
    // The pointer moved over the knob: `x` twips from the knob's left edge,
    // `pointerY` twips from the top of the control bar.
    void move(int x, int pointerY);
    void release();

    int knobTop() const { return m_knobTop; }
    bool isDragging() const { return m_dragging; }
    QString percentText() const { return m_percent; } // lblProzent2
    // True while the drag animation is to be shown.
    bool indicatorVisible() const { return m_indicator; }

private:
    MixerFunctions m_mixer;
    int m_knobTop = kDesignTop;
    bool m_dragging = false;
    int m_grab = 0;
    QString m_percent = QStringLiteral("0");
    bool m_indicator = false;
};
