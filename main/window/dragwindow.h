#pragma once

class QWidget;

// Lets the window manager move the frameless window with the mouse, as a drag
// on a title bar would. Does nothing for a maximized window.
void DragWindow(QWidget* window);
