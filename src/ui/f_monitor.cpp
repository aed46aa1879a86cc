#include "ui/f_monitor.h"

#include <QCloseEvent>
#include <QDir>
#include <QMimeData>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

#include "core/messages.h"
#include "recording/channel.h"
#include "recording/record_format.h"
#include "ui/chart_widget.h"
#include "ui/f_control.h"
#include "ui/pictures.h"
#include "ui/window_place.h"
#include "ui/windows.h"
#include "ui_f_monitor.h"

namespace vexa::ui {

namespace {
constexpr int kFirstChannelAxis = 3;
}

TF_MONITOR::TF_MONITOR(TGLOB& settings)
    : ui_(std::make_unique<Ui::TF_MONITOR>()), settings_(settings) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("F_MONITOR"));
  setWindowIcon(QIcon(LogoPicture(64)));
  mon_ = new ChartWidget(chart_, this);
  mon_->setObjectName(QStringLiteral("MON"));
  layout()->addWidget(mon_);
  FormCreate();
}

TF_MONITOR::~TF_MONITOR() { DestroyChannel(); }

void TF_MONITOR::FormCreate() {
  channel_ = std::make_unique<TChannel>(settings_);
  Channel = channel_.get();
  channel_->OpenPresets(settings_.PresetPath);
  channel_->CreateFixedAxes(chart_);
  mon_->setCursor(Qt::ArrowCursor);
  setAcceptDrops(true);
  // The rotate tool starts active, as the 3D and rotate boxes start ticked.
  mon_->SetRotateTool(true);
  chart_.OnZoom = [this](chart::PixelRect r) { MONZoom(r); };
  chart_.OnUndoZoom = [this] { MONUndoZoom(); };
  chart_.OnScroll = [this] { MONScroll(); };
  chart_.OnClickLegend = [this](int series) { MONClickLegend(series); };
  connect(mon_, &ChartWidget::MousePressed, this, &TF_MONITOR::MONMouseDown);
  connect(mon_, &ChartWidget::MouseReleased, this, [this] { MONMouseUp(); });
  ApplyPlace(*this, {settings_.MonitorState, settings_.MonitorTop, settings_.MonitorLeft,
                     settings_.MonitorWidth, settings_.MonitorHeight});
  SetTitle(18);
}

void TF_MONITOR::DestroyChannel() {
  if (!channel_) return;
  if (Channel == channel_.get()) Channel = nullptr;
  channel_.reset();
}

void TF_MONITOR::SetTitle(int caption, const std::string& file) {
  titleCaption_ = caption;
  titleFile_ = file;
  ApplyLanguage();
}

void TF_MONITOR::ApplyLanguage() {
  QString title = QString::fromUtf8(CaptionText(titleCaption_, settings_.AppliedLanguage));
  if (titleCaption_ != 18)
    title += QLatin1Char('"') + QString::fromStdString(titleFile_) + QLatin1Char('"');
  setWindowTitle(title);
}

void TF_MONITOR::RefreshChart() { mon_->Refresh(); }

void TF_MONITOR::SetRotateTool(bool active) { mon_->SetRotateTool(active); }

// --- showing and closing ----------------------------------------------------------

void TF_MONITOR::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TF_MONITOR::FormShow() {
  // Once: a later showing (back from the tray) keeps the title naming the
  // recording.
  if (shown_) return;
  shown_ = true;
  SetTitle(18);
}

void TF_MONITOR::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

bool TF_MONITOR::FormCloseQuery() {
  if (!(Channel && Channel->Recording)) return true;
  if (F_CONTROL) F_CONTROL->ShowExitPageForClose();
  return false;
}

void TF_MONITOR::FormClose() {
  const TWindowPlace place = PlaceOf(*this);
  settings_.MonitorState = place.State;
  settings_.MonitorTop = place.Top;
  settings_.MonitorLeft = place.Left;
  settings_.MonitorWidth = place.Width;
  settings_.MonitorHeight = place.Height;
  emit Closed();
}

// --- a dropped recording ------------------------------------------------------------

std::string TF_MONITOR::DroppableRecording(const QMimeData* mime) const {
  if (!mime || !mime->hasUrls() || !channel_ || channel_->Recording) return {};
  const QList<QUrl> urls = mime->urls();
  if (urls.size() != 1 || !urls.first().isLocalFile()) return {};
  // A URL's path has "/" on every system; the title, the messages and the
  // open window's folder history hold the system's own separators.
  const std::string path = QDir::toNativeSeparators(urls.first().toLocalFile()).toStdString();
  return HasRecordExtension(path) ? path : std::string();
}

void TF_MONITOR::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppableRecording(event->mimeData()).empty()) event->acceptProposedAction();
}

void TF_MONITOR::dropEvent(QDropEvent* event) {
  const std::string path = DroppableRecording(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  // After the drop has ended: the load runs its own event-loop turns.
  QTimer::singleShot(0, this, [path] { OpenRecordingPath(path, true); });
}

// --- the chart's events ---------------------------------------------------------------

int TF_MONITOR::ChannelAxesEnd() const {
  return std::min(chart_.CustomAxisCount(), kMaxChannelAxes);
}

void TF_MONITOR::MONMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at) {
  if (!channel_) return;
  TChannel& ch = *channel_;
  DownY = at.y();
  ch.SavedTimeMin = chart_.BottomAxis().Minimum();
  ch.SavedTimeMax = chart_.BottomAxis().Maximum();
  if (button == Qt::RightButton) {
    for (int i = kFirstChannelAxis; i < ChannelAxesEnd(); ++i) {
      ch.ViewMin[i] = chart_.CustomAxis(i).Minimum();
      ch.ViewMax[i] = chart_.CustomAxis(i).Maximum();
    }
  }
  if (modifiers & Qt::ShiftModifier) {
    chart_.Direction = chart::ZoomDirection::kHorizontal;
    mon_->setCursor(Qt::SizeVerCursor);
  } else {
    chart_.Direction = chart::ZoomDirection::kVertical;
    mon_->setCursor(Qt::SizeHorCursor);
  }
}

void TF_MONITOR::MONMouseUp() { mon_->setCursor(Qt::ArrowCursor); }

void TF_MONITOR::MONZoom(chart::PixelRect rect) {
  if (!channel_ || !F_CONTROL) return;
  TChannel& ch = *channel_;
  chart_.CustomAxis(ch.MarksAxis).Automatic = true;
  if (chart_.Direction == chart::ZoomDirection::kHorizontal) {
    F_CONTROL->SetTicked(TChartOption::kAutoScale, false);
    F_CONTROL->RunClickHandler(TChartOption::kAutoScale);
    ch.SavedTimeMin = chart_.BottomAxis().Minimum();
    ch.SavedTimeMax = chart_.BottomAxis().Maximum();
    for (int a : {ch.AbsTimeAxis, ch.RelTimeAxis}) {
      chart::Axis& axis = chart_.CustomAxis(a);
      axis.SetMinMax(axis.CalcPosPoint(rect.left), axis.CalcPosPoint(rect.right));
    }
    return;
  }
  // Vertical: every channel axis under the drag's start; in the stacked
  // arrangement only the band where it began.
  for (int i = kFirstChannelAxis; i < ChannelAxesEnd(); ++i) {
    chart::Axis& axis = chart_.CustomAxis(i);
    if (rect.top < axis.IStartPos || rect.top > axis.IEndPos) continue;
    ch.ViewMin[i] = axis.CalcPosPoint(rect.bottom);
    ch.ViewMax[i] = axis.CalcPosPoint(rect.top);
    axis.SetMinMax(ch.ViewMin[i], ch.ViewMax[i]);
    // The chart's own zoom turned the bottom axis's automatic scaling off.
    F_CONTROL->RunClickHandler(TChartOption::kAutoScale);
    if (F_CONTROL->Ticked(TChartOption::kOneAxes)) break;
  }
}

void TF_MONITOR::MONUndoZoom() {
  if (!channel_ || !F_CONTROL) return;
  TChannel& ch = *channel_;
  chart_.CustomAxis(ch.MarksAxis).Automatic = true;
  if (chart_.Direction == chart::ZoomDirection::kHorizontal) {
    F_CONTROL->SetTicked(TChartOption::kAutoScale, true);
    F_CONTROL->RunClickHandler(TChartOption::kAutoScale);
    return;
  }
  chart::Axis& bottom = chart_.BottomAxis();
  bottom.SetMinMax(ch.SavedTimeMin, ch.SavedTimeMax);
  // The marks run along the bottom axis: it must keep scaling with the time
  // axes, or a live recording's marks drift away from their samples.
  bottom.Automatic = settings_.AutoTimeScale;
  if (!settings_.UndoZoomAuto) {
    F_CONTROL->SetTicked(TChartOption::kAuto, false);
  } else if (!settings_.OneAxes) {
    F_CONTROL->SetTicked(TChartOption::kAuto, true);
  }
  const bool undoAuto = F_CONTROL->Ticked(TChartOption::kUndoAuto);
  for (int i = kFirstChannelAxis; i < ChannelAxesEnd(); ++i) {
    chart::Axis& axis = chart_.CustomAxis(i);
    if (settings_.OneAxes && (DownY < axis.IStartPos || DownY > axis.IEndPos)) continue;
    if (undoAuto) {
      axis.Automatic = true;
    } else {
      axis.SetMinMax(ch.HomeMin[i], ch.HomeMax[i]);
      ch.ViewMin[i] = ch.HomeMin[i];
      ch.ViewMax[i] = ch.HomeMax[i];
    }
  }
}

void TF_MONITOR::MONScroll() {
  if (!channel_ || !F_CONTROL) return;
  TChannel& ch = *channel_;
  F_CONTROL->SetTicked(TChartOption::kAutoScale, false);
  F_CONTROL->SetTicked(TChartOption::kAuto, false);
  chart_.CustomAxis(ch.MarksAxis).Automatic = true;
  ch.SavedTimeMin = chart_.BottomAxis().Minimum();
  ch.SavedTimeMax = chart_.BottomAxis().Maximum();
  // Only the axis under the point where the pan began moves vertically; the
  // others go back to the range they had at the press.
  for (int i = kFirstChannelAxis; i < ChannelAxesEnd(); ++i) {
    chart::Axis& axis = chart_.CustomAxis(i);
    if (axis.IStartPos < DownY && DownY < axis.IEndPos) {
      ch.ViewMin[i] = axis.Minimum();
      ch.ViewMax[i] = axis.Maximum();
    } else {
      axis.SetMinMax(ch.ViewMin[i], ch.ViewMax[i]);
    }
  }
}

void TF_MONITOR::MONClickLegend(int /*series*/) {
  if (F_CONTROL) F_CONTROL->RunClickHandler(TChartOption::kOneAxes);
}

}  // namespace vexa::ui
