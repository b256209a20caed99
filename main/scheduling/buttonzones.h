#pragma once

#include "buttonzone.h"

// The zone at height y of a button `height` units tall: upper third, middle,
// lower third. A position exactly on a border (or outside) is no zone.
ButtonZone zoneAt(int y, int height);
