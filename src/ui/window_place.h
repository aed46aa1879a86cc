// A window's place as the settings keep it: state (0 normal, 1 minimised,
// 2 maximised), top, left and, for resizable windows, width and height.
#pragma once

#include <cstdint>

class QWidget;

namespace vexa::ui {

struct TWindowPlace {
  int32_t State = 0;
  int32_t Top = 0;
  int32_t Left = 0;
  int32_t Width = 0;  // 0: the window keeps its own size
  int32_t Height = 0;
};

// Puts a window (not shown yet) at its stored place. A place that no screen
// shows any more (a monitor that was removed, a broken file) moves the
// window onto the primary screen, and a size larger than the screens is cut
// to them, so the operator always sees and can handle it.
void ApplyPlace(QWidget& window, const TWindowPlace& place);
// The window's place now; for a minimised or maximised window the place it
// returns to.
TWindowPlace PlaceOf(const QWidget& window);

}  // namespace vexa::ui
