#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// The arithmetic of the background-picture dialogue, apart from any widget:
// stepping through the saved pictures, which of them are shown, fitting a
// dropped picture to the box, and naming a picture that is kept.
namespace BackgroundRules {

// A move through the list of saved pictures: the row to select (-1: none,
// the list is empty) and whether the user hit an end and hears a beep.
struct Step
{
    int row;
    bool beep;
};
Step previous(int row, int count);
Step next(int row, int count);

// Only names ending in lower-case "bmp" are shown; the suite saves its own
// pictures that way, anything else is merely selected.
bool showable(const QString& fileName);

// A dropped picture fills the box's width with its proportions kept.
QSize fittedSize(const QSize& picture, int boxWidth);
// The size that fills the whole box: across its width, or, for a picture
// too wide for that, down its height (the sides are then cut evenly).
QSize coveringSize(const QSize& picture, const QSize& box);

// Upper-case text after the last full stop of the file name (the whole name
// when it has none).
QString extension(const QString& fileName);

// The window caption after a drop: the extension and the picture's size in
// twips (15 per pixel).
QString dropCaption(const QString& fileName, const QSize& pixels);

// The name for a kept picture: the two digits of the clock's seconds and
// ".bmp", or the next free two-digit name after it (wrapping past 99), so a
// kept picture never replaces an earlier one and the six-character name
// still fits the settings file. No value when all hundred names are taken.
std::optional<QString> freePictureName(int seconds,
                                       const std::function<bool(const QString&)>& taken);

} // namespace BackgroundRules
