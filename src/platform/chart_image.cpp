#include "platform/chart_image.h"

#include <QBuffer>
#include <QImage>
#include <span>

#include "core/messages.h"
#include "platform/chart_painter.h"
#include "recording/channel.h"

namespace vexa::platform {

FileResult WriteChartBitmap(chart::Chart& chart, QSize size, const std::string& path) {
  if (size.width() < 1 || size.height() < 1) return FileResult::Failed(Own::kImageNoSize, {path});
  const QImage image = RenderChartImage(chart, size);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return FileResult::Failed(Own::kImageNotEncoded, {path});
  const QByteArray& bytes = buffer.data();
  return WriteFileAtomic(path, std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

ChartImageResult SaveChartImage(TChannel& channel, QSize size, int language) {
  ChartImageResult r;
  r.path = channel.NextImageFileName();
  const FileResult written = channel.Chart ? WriteChartBitmap(*channel.Chart, size, r.path)
                                           : FileResult::Failed(Own::kImageNoChart, {r.path});
  // The reason names the file already.
  if (!written.ok) r.message = MessageText(1, language) + written.Text(language);
  return r;
}

}  // namespace vexa::platform
