// Filling a line series' column spans (one pixel column from the top to the
// bottom of the values that fall in it) fast. A dense week draws nearly
// every pixel of its band, so the cost is the writing of pixels: down a
// column each pixel is its own cache line, along a row they are contiguous.
// When the painter draws straight into a 32-bit image (the monitor's buffer,
// an exported image) chunks of neighbouring columns are written together, row
// by row. Otherwise (printers, PDF) neighbouring columns give their common
// rows to one rectangle per chunk and the rest are thin rectangles, all
// through the painter; both light the same pixels.
#pragma once

#include <QPainter>
#include <QRect>
#include <QRgb>
#include <vector>

#include "chart/trace.h"

namespace vexa::platform {

// An integer rectangle of pixels, both ends inclusive.
struct PixelBox {
  int left, top, right, bottom;
};

// The rectangles that cover the spans' pixels: column x covers the rows
// from round(top) to round(bottom), inside clip. Runs of neighbouring
// columns are cut into chunks of at most `chunk` columns; a chunk's common
// rows (when it has at least two) become one box.
std::vector<PixelBox> SpanBoxes(const std::vector<chart::ColumnSpan>& spans, const QRect& clip,
                                int chunk = 32);

// Fills boxes (already inside clip) in an opaque colour: written directly
// into the painter's image when it draws straight into one, else painted.
void FillBoxes(QPainter& painter, const std::vector<PixelBox>& boxes, QRgb colour, const QRect& clip);

// Strokes one-pixel segments (a segment of length 0 is a point) in an opaque
// colour, inside clip. Into a 32-bit image the pixels are set directly, a
// point (x, y) at pixel (floor(x), round(y)) as the spans put it, a line
// between its two end pixels by Bresenham's steps; otherwise through the
// painter. The joins of a dense chart are a thousand short lines per
// series, which cost the painter far more than their pixels.
void StrokeSegments(QPainter& painter, const std::vector<chart::Segment>& segments, QRgb colour,
                    const QRect& clip);

// Fills the spans in an opaque colour, inside clip (painter coordinates).
void FillColumnSpans(QPainter& painter, const std::vector<chart::ColumnSpan>& spans, QRgb colour,
                     const QRect& clip);

}  // namespace vexa::platform
