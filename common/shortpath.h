#pragma once

#include <QString>

// The canonical absolute form of an existing path, or an empty text when the
// path does not exist. Every file name that goes into a media command string
// passes through here.
QString ShortPath(const QString& path);
