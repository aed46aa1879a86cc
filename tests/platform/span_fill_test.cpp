// Spans written straight into the monitor's 32-bit buffer must light exactly
// the pixels the painter lights on a printer or a PDF page.
#include "platform/span_fill.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>

namespace vexa {
namespace {

QImage Filled(QImage::Format format, const std::vector<chart::ColumnSpan>& spans, const QRect& clip,
              QPoint origin) {
  QImage img(160, 120, format);
  img.fill(Qt::black);
  QPainter p(&img);
  p.translate(origin);  // whole pixels: the direct path still applies to RGB32
  platform::FillColumnSpans(p, spans, 0x00FF00, clip);
  p.end();
  return img.convertToFormat(QImage::Format_RGB32);
}

TEST(FillColumnSpans, DirectWritesLightWhatThePainterLights) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> row(-30, 150);
  std::uniform_int_distribution<int> gap(0, 9);
  for (int round = 0; round < 40; ++round) {
    // Runs of neighbouring columns longer than one chunk, gaps, spans upside
    // down, columns and rows outside the clip and the image.
    std::vector<chart::ColumnSpan> spans;
    for (int x = -5; x < 170; x += gap(rng) == 0 ? 3 : 1) spans.push_back({x, row(rng), row(rng)});
    if (round % 4 == 0) spans.push_back({spans.back().x + 1, 1e30f, -1e30f});
    const QRect clip = round % 2 ? QRect(7, 5, 130, 90) : QRect(-10, -10, 200, 200);
    const QPoint origin(round % 3, round % 5);
    const QImage direct = Filled(QImage::Format_RGB32, spans, clip, origin);
    const QImage painted = Filled(QImage::Format_RGB888, spans, clip, origin);
    ASSERT_EQ(direct, painted) << "round " << round;
  }
}

}  // namespace
}  // namespace vexa
