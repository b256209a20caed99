#pragma once

#include "buttonzone.h"

// What the panel in front does with a press of the control button: the
// upper arrow, the lower arrow or OK. The window looks up the target of the
// current panelMode and forwards the press; a mode without a target only
// shows the pressed image.
class ControlTarget
{
public:
    virtual ~ControlTarget() = default;
    virtual void up() {}
    virtual void down() {}
    virtual void ok() {}

    // The zone's action; other zones do nothing.
    void press(ButtonZone zone)
    {
        switch (zone) {
        case ButtonZone::Up:
            up();
            break;
        case ButtonZone::Down:
            down();
            break;
        case ButtonZone::Ok:
            ok();
            break;
        default:
            break;
        }
    }
};
