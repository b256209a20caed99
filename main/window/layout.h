#pragma once

#include <QRect>

// Pixel geometry of the main window (15 twips per pixel). The device picture
// drawn by the asset generator is made to fit these places.
namespace Layout {

constexpr int twips(int t)
{
    return t / 15;
}

constexpr QSize kWindow{319, 548};                     // 4785 x 8220 twips
constexpr QRect kPicture1{0, 0, 300, 538};             // 4500 x 8070 twips
constexpr QRect kPanel{64, 68, 200, 300};              // left 960, top 1020, 3000 x 4500
constexpr QRect kControlButtonFrame{118, 398, 92, 91}; // left 1770, top 5970, 1380 x 1365
constexpr QRect kControlButton{1, 0, 90, 90};          // the images inside their frame
constexpr QRect kHintLine{58, 370, 212, 23};           // lbHelp
constexpr QRect kLamp{250, 44, 12, 12};                // Lampa
constexpr QRect kMenuButton{64, 34, 28, 28};           // GifCtl12
constexpr QRect kHelpButton{98, 34, 28, 28};           // GifCtl9
constexpr QRect kAboutButton{132, 34, 28, 28};         // GifCtl11
constexpr QRect kExitButton{216, 34, 28, 28};          // GifCtl10

} // namespace Layout
