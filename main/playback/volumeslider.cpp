#include "volumeslider.h"

#include "roundhalfeven.h"

#include <cmath>

VolumeSlider::VolumeSlider(MixerFunctions mixer) : m_mixer(std::move(mixer)) {}

int VolumeSlider::percentAt(int knobTop)
{
    // 100 - floor((top - Y1) / ((Y2 - Y1) / 100)); a knob a few twips beyond
    // either end would otherwise read 101 % or -1 %.
    const double span = (kBottom - kTop) / 100.0;
    const int percent = 100 - int(std::floor((knobTop - kTop) / span));
    return qBound(0, percent, 100);
}

void VolumeSlider::initialise(int foundPercent)
{
    const int percent = foundPercent >= 50 ? 100 : 50;
    m_mixer.volume(MixerFunctions::kSpeakerVolume, percent);
    m_percent = QString::number(percent);
    m_knobTop = percent == 100 ? kTop : 300;
}

void VolumeSlider::press(double y)
{
    m_grab = int(roundHalfEven(y));
    m_dragging = true;
    m_mixer.open(0);
    m_mixer.mute(MixerFunctions::kSpeakerMute, 0);
}

void VolumeSlider::release()
{
    m_dragging = false;
    m_indicator = false;
}

void VolumeSlider::move(int x, int pointerY)
{
    if (x < 0 || x > kKnobWidth) {
        m_dragging = false;
        m_indicator = false;
    }
    if (m_dragging) {
        if (m_knobTop > kBottom) {
            // Passed the bottom: snap back just inside and silence the
            // speakers, as the top end raises them to 100.
            release();
            m_percent = QStringLiteral("0");
            m_knobTop = kBottom - 10;
            m_mixer.volume(MixerFunctions::kSpeakerVolume, 0);
            return;
        }
        m_indicator = true;
        m_knobTop = pointerY - m_grab;
        m_percent = QString::number(percentAt(m_knobTop));
        if (m_knobTop < kTop - 10) {
            release();
            m_percent = QStringLiteral("100");
            m_knobTop = kTop;
        }
    }
    m_mixer.volume(MixerFunctions::kSpeakerVolume, m_percent.toInt());
}
