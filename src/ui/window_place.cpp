#include "ui/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vexa::ui {

namespace {
// At least this much of a window must lie on a screen to be reachable.
constexpr int kVisiblePart = 40;

bool OnSomeScreen(const QRect& r) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect shared = screen->availableGeometry().intersected(r);
    if (shared.width() >= kVisiblePart && shared.height() >= kVisiblePart) return true;
  }
  return QGuiApplication::screens().isEmpty();
}
}  // namespace

void ApplyPlace(QWidget& window, const TWindowPlace& place) {
  if (place.Width > 0 && place.Height > 0) {
    // No bigger than all screens together: a broken size would otherwise
    // make a window nobody can handle (and a chart picture of gigabytes).
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) desktop |= screen->availableGeometry();
    const QSize most = desktop.isEmpty() ? QSize(place.Width, place.Height) : desktop.size();
    window.resize(std::clamp(place.Width, window.minimumWidth(),
                             std::max(most.width(), window.minimumWidth())),
                  std::clamp(place.Height, window.minimumHeight(),
                             std::max(most.height(), window.minimumHeight())));
  }
  QRect r(QPoint(place.Left, place.Top), window.size());
  if (!OnSomeScreen(r)) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      r.moveTopLeft(screen->availableGeometry().topLeft());
    }
  }
  window.move(r.topLeft());
  switch (place.State) {
    case 1:
      window.setWindowState(Qt::WindowMinimized);
      break;
    case 2:
      window.setWindowState(Qt::WindowMaximized);
      break;
    default:
      window.setWindowState(Qt::WindowNoState);
      break;
  }
}

TWindowPlace PlaceOf(const QWidget& window) {
  TWindowPlace p;
  const Qt::WindowStates state = window.windowState();
  p.State = (state & Qt::WindowMinimized) ? 1 : (state & Qt::WindowMaximized) ? 2 : 0;
  QRect r(window.pos(), window.size());
  if (p.State != 0 && window.normalGeometry().isValid()) r = window.normalGeometry();
  p.Top = r.top();
  p.Left = r.left();
  p.Width = r.width();
  p.Height = r.height();
  return p;
}

}  // namespace vexa::ui
