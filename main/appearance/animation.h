#pragma once

class GifCtl;
class QWidget;

namespace Animation {

// The program's animated picture `GifCtl<number>`: its own GIF from the
// program's pictures (":/art/gifctl<number>.gif"), transparent background,
// sized to the picture. `autoStart`: it runs as soon as it is shown.
GifCtl* make(QWidget* parent, int number, bool autoStart);

// Moves an animation to the middle of the widget it lies on.
void centre(QWidget* animation);

} // namespace Animation
