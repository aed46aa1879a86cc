#include "ui/pictures.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "core/own_texts.h"

namespace vexa::ui {

namespace {

constexpr int kIconSide = 24;

// Breathing as the flow meter sees it: a quick rise, a slower fall, about
// the middle of the rectangle.
QPainterPath BreathCurve(const QRectF& r, int breaths) {
  QPainterPath path;
  const int steps = 60 * breaths;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double phase = std::fmod(t * breaths, 1.0);
    const double v = phase < 0.4 ? std::sin(phase / 0.4 * std::numbers::pi)
                                 : -std::sin((phase - 0.4) / 0.6 * std::numbers::pi);
    const QPointF p(r.left() + t * r.width(), r.center().y() - v * r.height() / 2);
    if (i == 0) {
      path.moveTo(p);
    } else {
      path.lineTo(p);
    }
  }
  return path;
}

QPixmap Canvas(int w, int h) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void DrawIcon(QPainter& p, TPicture picture) {
  const QColor ink(40, 40, 48);
  p.setPen(QPen(ink, 1.5));
  switch (picture) {
    case TPicture::kOpen:  // a folder
      p.setBrush(QColor(240, 200, 90));
      p.drawPolygon(QPolygonF({{2, 6}, {9, 6}, {11, 8}, {21, 8}, {21, 19}, {2, 19}}));
      p.setBrush(QColor(250, 220, 120));
      p.drawPolygon(QPolygonF({{2, 19}, {5, 11}, {23, 11}, {21, 19}}));
      break;
    case TPicture::kPrint:  // a printer with a sheet
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 3, 10, 7));
      p.setBrush(QColor(150, 155, 165));
      p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 14, 10, 7));
      break;
    case TPicture::kImage:  // a picture with a hill and a sun
      p.setBrush(QColor(190, 225, 250));
      p.drawRect(QRectF(3, 5, 18, 14));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(90, 170, 80));
      p.drawPolygon(QPolygonF({{4, 18}, {10, 11}, {14, 15}, {16, 13}, {20, 18}}));
      p.setBrush(QColor(250, 200, 40));
      p.drawEllipse(QPointF(16, 9), 2, 2);
      break;
    case TPicture::kStart: {  // the record dot
      QRadialGradient g(QPointF(10, 10), 10);
      g.setColorAt(0, QColor(255, 120, 110));
      g.setColorAt(1, QColor(200, 20, 20));
      p.setBrush(g);
      p.setPen(QPen(QColor(120, 0, 0), 1));
      p.drawEllipse(QPointF(12, 12), 8, 8);
      break;
    }
    case TPicture::kMark:  // a flag on a pole
      p.drawLine(QPointF(6, 3), QPointF(6, 21));
      p.setBrush(QColor(250, 215, 0));
      p.drawPolygon(QPolygonF({{6, 4}, {19, 7.5}, {6, 11}}));
      break;
    case TPicture::kStop:  // the stop square
      p.setBrush(QColor(60, 60, 70));
      p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
      break;
  }
}

}  // namespace

QIcon CommandIcon(TPicture picture) {
  QIcon icon;
  for (const int scale : {1, 2}) {
    QPixmap pixmap = Canvas(kIconSide * scale, kIconSide * scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    DrawIcon(p, picture);
    p.end();
    icon.addPixmap(pixmap, QIcon::Normal);
    // A disabled button shows the picture faded.
    QPixmap faded = Canvas(kIconSide * scale, kIconSide * scale);
    QPainter f(&faded);
    f.setOpacity(0.3);
    f.drawPixmap(0, 0, pixmap);
    f.end();
    icon.addPixmap(faded, QIcon::Disabled);
  }
  return icon;
}

QPixmap LogoPicture(int side) {
  QPixmap pixmap = Canvas(side, side);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF ring(side * 0.04, side * 0.04, side * 0.92, side * 0.92);
  QRadialGradient back(ring.center(), side * 0.5);
  back.setColorAt(0, QColor(40, 44, 70));
  back.setColorAt(1, QColor(10, 10, 20));
  p.setBrush(back);
  p.setPen(QPen(QColor(0, 200, 120), side * 0.05));
  p.drawEllipse(ring);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 255, 0), side * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(BreathCurve(QRectF(side * 0.2, side * 0.32, side * 0.6, side * 0.36), 2));
  return pixmap;
}

QPixmap FlowMeterPicture(int width, int height) {
  QPixmap pixmap = Canvas(width, height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF body(1, height * 0.15, width * 0.62, height * 0.8);
  p.setPen(QPen(QColor(60, 60, 70), 1.5));
  p.setBrush(QColor(210, 215, 225));
  p.drawRoundedRect(body, 4, 4);
  p.setBrush(Qt::black);
  p.drawRect(QRectF(body.left() + 4, body.top() + 5, body.width() - 8, body.height() * 0.35));
  p.setPen(QPen(QColor(0, 255, 0), 1.5));
  p.drawPath(BreathCurve(
      QRectF(body.left() + 6, body.top() + 7, body.width() - 12, body.height() * 0.35 - 4), 2));
  // The breathing tube.
  p.setPen(QPen(QColor(90, 120, 160), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(body.right(), body.center().y()), QPointF(width - 3, body.center().y()));
  p.drawLine(QPointF(width - 3, body.center().y()), QPointF(width - 3, 3));
  return pixmap;
}

QFont SplashSubtitleFont(const QFont& base, const QString& text, int width) {
  QFont font = base;
  font.setBold(false);
  for (int px = 18; px >= 11; --px) {
    font.setPixelSize(px);
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
  }
  return font;
}

QPixmap SplashPicture(const QString& version, int language) {
  QPixmap pixmap(600, 328);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient back(0, 0, 600, 328);
  back.setColorAt(0, QColor(0x43, 0x3E, 0x3D));
  back.setColorAt(1, QColor(0xB3, 0x3C, 0xCC));
  p.fillRect(pixmap.rect(), back);
  // A chart strip like the monitor's: three channels breathing.
  p.fillRect(QRectF(40, 170, 520, 120), QColor(0, 0, 0, 150));
  const QColor colours[] = {QColor(0, 255, 0), QColor(255, 0, 255), QColor(166, 202, 240)};
  for (int k = 0; k < 3; ++k) {
    p.setPen(QPen(colours[k], 2));
    p.drawPath(BreathCurve(QRectF(50, 185 + k * 28, 500, 40), 6 + k * 2));
  }
  p.drawPixmap(40, 40, LogoPicture(100));
  QFont title = p.font();
  title.setPixelSize(64);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(160, 40, 400, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VEXA"));
  // The subtitle keeps to the picture's right margin in either language;
  // should it still be too long at the smallest size, it wraps.
  const QString subtitle = QString::fromUtf8(OwnText(Own::kSplashSubtitle, language));
  QFont line = SplashSubtitleFont(p.font(), subtitle, kSplashSubtitleWidth);
  p.setFont(line);
  p.drawText(QRectF(kSplashSubtitleLeft, 108, kSplashSubtitleWidth, 30),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, subtitle);
  line.setPixelSize(13);
  p.setFont(line);
  p.setPen(QColor(220, 220, 230));
  p.drawText(QRectF(40, 296, 520, 24), Qt::AlignRight | Qt::AlignVCenter,
             QString::fromUtf8(OwnText(Own::kSplashVersion, language)) + version);
  return pixmap;
}

}  // namespace vexa::ui
