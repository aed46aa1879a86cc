// The program's pictures, drawn at run time so they stay sharp at any size
// and need no image files: the speed buttons' icons, the logo (About and
// Exit pages, message window, tray), the flow meter and the splash.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace vexa::ui {

enum class TPicture { kOpen, kPrint, kImage, kStart, kMark, kStop };

QIcon CommandIcon(TPicture picture);
// A breath curve in a ring, side × side pixels.
QPixmap LogoPicture(int side);
// The flow meter beside its port field on the Setup page.
QPixmap FlowMeterPicture(int width, int height);
// The splash window's picture (600 × 328), with the version, in a language.
QPixmap SplashPicture(const QString& version, int language);
// The subtitle's font under the product name: 18 pixels, smaller where the
// text would not fit `width` pixels otherwise (not below 11).
QFont SplashSubtitleFont(const QFont& base, const QString& text, int width);
// Where the subtitle is drawn in the splash picture.
inline constexpr int kSplashSubtitleLeft = 162, kSplashSubtitleWidth = 398;

}  // namespace vexa::ui
