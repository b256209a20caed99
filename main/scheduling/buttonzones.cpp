#include "buttonzones.h"

ButtonZone zoneAt(int y, int height)
{
    const int third = height / 3;
    if (y > 0 && y < third)
        return ButtonZone::Up;
    if (y > third && y < height - third)
        return ButtonZone::Ok;
    if (y > height - third && y < height)
        return ButtonZone::Down;
    return ButtonZone::None;
}
