// Colours as the files keep them (0x00BBGGRR) and as a widget shows them.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>
#include <cstdint>

namespace vexa::ui {

inline QColor FromBgr(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline uint32_t ToBgr(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

// One colour of a widget's palette (no style sheets: their polish is slow).
inline void SetColour(QWidget& w, QPalette::ColorRole role, const QColor& colour) {
  QPalette p = w.palette();
  p.setColor(role, colour);
  w.setPalette(p);
}

}  // namespace vexa::ui
