#pragma once

// The three zones of the control button, numbered as the window numbers them.
enum class ButtonZone { None = 0, Up = 1, Down = 2, Ok = 3 };

// The zone at height y of a button `height` units tall: upper third, middle,
// lower third. A position exactly on a border (or outside) is no zone.
ButtonZone zoneAt(int y, int height);
