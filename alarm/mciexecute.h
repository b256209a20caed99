#pragma once

#include <QString>

// A media command string that reports its own failure: a message box with the
// error, which does not hold up the caller.
int mciExecute(const QString& command);
