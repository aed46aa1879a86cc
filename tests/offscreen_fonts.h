// The offscreen platform the tests draw on. On Linux it finds fonts through
// fontconfig; on Windows it reads the font files of one folder
// (QT_QPA_FONTDIR) and, without one, draws every character as a box one em
// wide. So on Windows the tests name a folder: DejaVu, the Linux tests'
// font, under wine (where QT_ variables do not pass into the program), the
// system's fonts on Windows itself.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vexa::testing {

inline void UseOffscreenPlatform() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef _WIN32
  if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
#ifdef VEXA_TEST_FONT_DIR
    qputenv("QT_QPA_FONTDIR", VEXA_TEST_FONT_DIR);
#else
    qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
#endif
  }
#endif
}

}  // namespace vexa::testing
