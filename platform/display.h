#pragma once

// The shaped frameless window, its dragging and window positions need X11
// behaviour. Called before the application object exists: under a Wayland
// session with XWayland, asks Qt for xcb first (falling back to Wayland);
// a platform the user chose is left alone.
void preferX11Platform();

// Qt's own words (the buttons of message boxes, the file dialog) in the
// suite's language, Russian, from the translations Debian ships with Qt
// (qt6-translations-l10n). Call once the application object exists; without
// the translations installed Qt's English stays.
void loadQtTranslations();
