#pragma once

// The three zones of the control button, numbered as the window numbers them.
enum class ButtonZone { None = 0, Up = 1, Down = 2, Ok = 3 };
