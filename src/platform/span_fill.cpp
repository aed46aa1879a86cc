#include "platform/span_fill.h"

#include <QImage>
#include <QPaintDevice>
#include <QVarLengthArray>
#include <algorithm>
#include <climits>
#include <cmath>

namespace vexa::platform {
namespace {

int Row(float y) {
  // Pixel rows as the painter puts an aliased point: the nearest one.
  return static_cast<int>(std::floor(std::clamp(y, -1e8f, 1e8f) + 0.5f));
}

void Add(std::vector<PixelBox>& out, PixelBox b, const QRect& clip) {
  b.left = std::max(b.left, clip.left());
  b.right = std::min(b.right, clip.right());
  b.top = std::max(b.top, clip.top());
  b.bottom = std::min(b.bottom, clip.bottom());
  if (b.left <= b.right && b.top <= b.bottom) out.push_back(b);
}

// The image the painter writes into directly, with the offset from painter
// to image pixels; null when the pixels cannot be written by hand (not a
// 32-bit image, scaled or rotated, or shared with another QImage).
QImage* DirectTarget(QPainter& p, QPoint& offset) {
  QPaintDevice* device = p.device();
  if (!device || device->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format f = image->format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied) {
    return nullptr;
  }
  const QTransform t = p.deviceTransform();
  if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy())) {
    return nullptr;
  }
  if (p.compositionMode() != QPainter::CompositionMode_SourceOver || !image->isDetached()) return nullptr;
  offset = QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
  return image;
}

}  // namespace

std::vector<PixelBox> SpanBoxes(const std::vector<chart::ColumnSpan>& spans, const QRect& clip, int chunk) {
  std::vector<PixelBox> out;
  out.reserve(spans.size() * 2);
  chunk = std::max(1, chunk);
  auto rows = [&](std::size_t k) {
    const int a = Row(spans[k].top), b = Row(spans[k].bottom);
    return std::pair{std::min(a, b), std::max(a, b)};
  };
  for (std::size_t i = 0; i < spans.size();) {
    std::size_t end = i + 1;
    while (end < spans.size() && end - i < static_cast<std::size_t>(chunk) &&
           spans[end].x == spans[end - 1].x + 1) {
      ++end;
    }
    int common_top = INT_MIN, common_bottom = INT_MAX;
    for (std::size_t k = i; k < end; ++k) {
      const auto [top, bottom] = rows(k);
      common_top = std::max(common_top, top);
      common_bottom = std::min(common_bottom, bottom);
    }
    const bool shared = end - i > 1 && common_bottom - common_top >= 1;
    if (shared) Add(out, {spans[i].x, common_top, spans[end - 1].x, common_bottom}, clip);
    for (std::size_t k = i; k < end; ++k) {
      const auto [top, bottom] = rows(k);
      const int x = spans[k].x;
      if (!shared) {
        Add(out, {x, top, x, bottom}, clip);
        continue;
      }
      if (top < common_top) Add(out, {x, top, x, common_top - 1}, clip);
      if (bottom > common_bottom) Add(out, {x, common_bottom + 1, x, bottom}, clip);
    }
    i = end;
  }
  return out;
}

void FillBoxes(QPainter& painter, const std::vector<PixelBox>& boxes, QRgb colour, const QRect& clip) {
  if (boxes.empty()) return;
  QPoint offset;
  if (QImage* image = DirectTarget(painter, offset)) {
    const QRect inside = clip & image->rect().translated(-offset);
    const QRgb pixel = colour | 0xFF000000u;
    uchar* bits = image->bits();  // not shared (DirectTarget), so no copy is made
    const qsizetype stride = image->bytesPerLine();
    for (const PixelBox& b : boxes) {
      const int left = std::max(b.left, inside.left()), right = std::min(b.right, inside.right());
      const int top = std::max(b.top, inside.top()), bottom = std::min(b.bottom, inside.bottom());
      for (int y = top; y <= bottom && left <= right; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bits + (y + offset.y()) * stride) + offset.x();
        std::fill(row + left, row + right + 1, pixel);
      }
    }
    return;
  }
  QVarLengthArray<QRect, 512> rects;
  for (const PixelBox& b : boxes) rects.append(QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom)));
  painter.save();
  painter.setClipRect(clip, Qt::IntersectClip);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgb(colour));
  painter.drawRects(rects.constData(), static_cast<int>(rects.size()));
  painter.restore();
}

namespace {

// Cuts a segment to a rectangle (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - r.left(), r.right() - x0, y0 - r.top(), r.bottom() - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

}  // namespace

void StrokeSegments(QPainter& painter, const std::vector<chart::Segment>& segments, QRgb colour,
                    const QRect& clip) {
  if (segments.empty()) return;
  QPoint offset;
  QImage* image = DirectTarget(painter, offset);
  if (!image) {
    QVarLengthArray<QLineF, 1024> lines;
    QVarLengthArray<QPointF, 64> dots;
    for (const chart::Segment& g : segments) {
      if (g.x0 == g.x1 && g.y0 == g.y1) {
        dots.append(QPointF(g.x0, g.y0));
      } else {
        lines.append(QLineF(g.x0, g.y0, g.x1, g.y1));
      }
    }
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setPen(QPen(QColor::fromRgb(colour), 1));
    if (!lines.isEmpty()) painter.drawLines(lines.constData(), static_cast<int>(lines.size()));
    if (!dots.isEmpty()) painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
    painter.restore();
    return;
  }
  const QRect inside = clip & image->rect().translated(-offset);
  if (inside.isEmpty()) return;
  // A little beyond the clip, so the end pixels of a cut segment fall where
  // the uncut one would put them; pixels outside are not written.
  const QRectF cut = QRectF(inside).adjusted(-2, -2, 2, 2);
  const QRgb pixel = colour | 0xFF000000u;
  uchar* bits = image->bits();  // not shared (DirectTarget), so no copy is made
  const qsizetype stride = image->bytesPerLine();
  auto plot = [&](int x, int y) {
    if (inside.contains(x, y)) {
      reinterpret_cast<QRgb*>(bits + (y + offset.y()) * stride)[x + offset.x()] = pixel;
    }
  };
  for (const chart::Segment& g : segments) {
    double x0 = g.x0, y0 = g.y0, x1 = g.x1, y1 = g.y1;
    if (!ClipSegment(x0, y0, x1, y1, cut)) continue;
    int ax = static_cast<int>(std::floor(x0)), ay = static_cast<int>(std::floor(y0 + 0.5));
    const int bx = static_cast<int>(std::floor(x1)), by = static_cast<int>(std::floor(y1 + 0.5));
    const int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
    const int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
    for (int err = dx + dy;;) {
      plot(ax, ay);
      if (ax == bx && ay == by) break;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        ax += sx;
      }
      if (e2 <= dx) {
        err += dx;
        ay += sy;
      }
    }
  }
}

namespace {

// Spans written straight into a 32-bit image. Up to kChunk neighbouring
// columns are written together, row by row, each pixel where its column's
// span holds the row: a chunk's row is one or two cache lines, where a
// column written downwards touches one line per pixel. A week of breathing
// gives every column rows of its own, so this is most of the drawing.
bool FillSpansDirect(QPainter& painter, const std::vector<chart::ColumnSpan>& spans, QRgb colour,
                     const QRect& clip) {
  QPoint offset;
  QImage* image = DirectTarget(painter, offset);
  if (!image) return false;
  const QRect inside = clip & image->rect().translated(-offset);
  if (inside.isEmpty()) return true;
  constexpr std::size_t kChunk = 32;
  const QRgb pixel = colour | 0xFF000000u;
  uchar* bits = image->bits();  // not shared (DirectTarget), so no copy is made
  const qsizetype stride = image->bytesPerLine();
  int tops[kChunk], bottoms[kChunk];
  for (std::size_t i = 0; i < spans.size();) {
    std::size_t end = i + 1;
    while (end < spans.size() && end - i < kChunk && spans[end].x == spans[end - 1].x + 1) ++end;
    // Only the chunk's columns inside the clip are read or written.
    const int first = std::max(spans[i].x, inside.left());
    const int width = std::min(spans[end - 1].x, inside.right()) - first + 1;
    const std::size_t from = i + static_cast<std::size_t>(first - spans[i].x);
    int lowest = INT_MAX, highest = INT_MIN;
    for (int k = 0; k < width; ++k) {
      const chart::ColumnSpan& c = spans[from + static_cast<std::size_t>(k)];
      const int a = Row(c.top), b = Row(c.bottom);
      tops[k] = std::max(std::min(a, b), inside.top());
      bottoms[k] = std::min(std::max(a, b), inside.bottom());
      if (tops[k] <= bottoms[k]) {
        lowest = std::min(lowest, tops[k]);
        highest = std::max(highest, bottoms[k]);
      }
    }
    for (int y = lowest; y <= highest; ++y) {
      QRgb* row = reinterpret_cast<QRgb*>(bits + (y + offset.y()) * stride) + first + offset.x();
      for (int k = 0; k < width; ++k) row[k] = tops[k] <= y && y <= bottoms[k] ? pixel : row[k];
    }
    i = end;
  }
  return true;
}

}  // namespace

void FillColumnSpans(QPainter& painter, const std::vector<chart::ColumnSpan>& spans, QRgb colour,
                     const QRect& clip) {
  if (spans.empty() || FillSpansDirect(painter, spans, colour, clip)) return;
  FillBoxes(painter, SpanBoxes(spans, clip), colour, clip);
}

}  // namespace vexa::platform
