#pragma once

#include "filedialogrunner.h"
#include "giferror.h"

#include <QString>

// The animated-picture search: an open dialog titled "Ищем Графические файлы"
// for "*.gif" files, starting in the current folder. Returns the chosen path
// (blanks at either end removed), or an empty text when the user cancelled:
// a cancel changes nothing, so the caller loads nothing.
QString PickGifFile(const FileDialogRunner& runner = runFileDialog);

// The path of the last successful search ("" before the first).
QString LastPickedGifFile();

// The hint-line text that says why a chosen animation was not taken.
QString GifRefusedHint(GifError error);
