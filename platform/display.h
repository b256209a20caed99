#pragma once

// The shaped frameless window, its dragging and window positions need X11
// behaviour. Called before the application object exists: under a Wayland
// session with XWayland, asks Qt for xcb first (falling back to Wayland);
// a platform the user chose is left alone.
void preferX11Platform();
