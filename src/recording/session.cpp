#include "recording/session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <span>
#include <string>

#include "chart/labels.h"
#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/own_texts.h"
#include "recording/channel.h"

namespace vexa {

namespace {

double Now(const TChannel& ch) { return ch.Clock ? ch.Clock() : NowDateTime(); }

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Control characters would break a row or a header line; they become spaces.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

// The first n characters of UTF-8 text; a byte of a malformed sequence
// counts as one character, as Cp1251Length counts it.
std::string FirstChars(std::string_view text, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t chars = 0; i < text.size() && chars < n; ++chars) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const std::size_t len = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
    std::size_t k = 1;
    while (k < len && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80) {
      ++k;
    }
    i += k == len ? len : 1;
  }
  return std::string(text.substr(0, i));
}

}  // namespace

// --- pure helpers -------------------------------------------------------------

std::optional<double> ParseSampleInterval(std::string_view text, int language,
                                          std::string* error, char separator) {
  auto fail = [&](Own k) -> std::optional<double> {
    if (error) *error = std::string(OwnText(k, language)) + Quoted(std::string(text));
    return std::nullopt;
  };
  if (Cp1251Length(text) > static_cast<std::size_t>(kMaxIntervalText)) {
    return fail(Own::kIntervalTextTooLong);
  }
  std::string number(text);
  if (separator != '.') std::replace(number.begin(), number.end(), separator, '.');
  double v = 0;
  if (!ParseDouble(number, v) || !std::isfinite(v)) return fail(Own::kIntervalNotNumber);
  if (!(v >= kMinIntervalSeconds)) return fail(Own::kIntervalTooShort);
  if (v > kMaxIntervalSeconds) return fail(Own::kIntervalTooLong);
  return v;
}

int32_t TimerIntervalMs(double seconds) {
  if (!(seconds > 0)) return 0;
  const double ms = std::trunc(seconds * 1000.0);
  return ms >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(ms);
}

double SaturationPressureMmHg(double t) {
  constexpr double kHpaToMmHg = 760.0 / 1013.25;
  return 6.1094 * std::exp(17.625 * t / (t + 243.04)) * kHpaToMmHg;
}

double StpdFactor(const TPreset& preset) {
  const double p = preset.AtmPressure, t = preset.AirTemperature, h = preset.Humidity;
  if (!std::isfinite(p) || !std::isfinite(t) || !std::isfinite(h)) return 1.0;
  if (p <= 0 || t <= -273.15 || h < 0 || h > 100) return 1.0;
  const double water = SaturationPressureMmHg(t) * h / 100.0;
  const double f = (p - water) / 760.0 * 273.15 / (273.15 + t);
  return std::isfinite(f) && f > 0 ? f : 1.0;
}

std::optional<std::string> DisplayText(double value, int decimals) {
  if (value == 0) return std::nullopt;
  return FormatFixed(value, decimals);
}

TElapsed ElapsedOf(double days) {
  TElapsed e;
  const int32_t s = chart::ElapsedLabel::FromDays(days).seconds;
  e.Hours = s / 3600;
  e.Minutes = s / 60 % 60;
  e.Seconds = s % 60;
  e.Text = chart::FormatElapsed(s);
  return e;
}

std::string PostfixProblem(std::string_view postfix, int language) {
  if (Cp1251Length(postfix) > static_cast<std::size_t>(kMaxPostfix)) {
    return OwnText(Own::kPostfixTooLong, language) + Quoted(std::string(postfix));
  }
  // Names are Windows-1251 on the workstation; these characters are not
  // allowed in a Windows file name, or would make it a path.
  bool bad = !IsCp1251Representable(postfix);
  for (const char c : postfix) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      bad = true;
    }
  }
  return bad ? OwnText(Own::kPostfixBadChar, language) + Quoted(OneLine(postfix)) : std::string();
}

void ApplyAutoTimeScale(TChannel& channel, TGLOB& settings, bool state, bool scrollTicked) {
  settings.AutoTimeScale = state;
  if (chart::Chart* chart = channel.Chart) {
    for (int axis : {channel.AbsTimeAxis, channel.RelTimeAxis}) {
      if (axis >= 0 && axis < chart->CustomAxisCount()) chart->CustomAxis(axis).Automatic = state;
    }
    chart->BottomAxis().Automatic = state;
  }
  settings.AutoScroll = !state && scrollTicked;
}

// --- the recording object's session operations -------------------------------

int TChannel::StartRecording() {
  if (UsingOwnPreset) BuildChart();
  // The factor of the preset in force, fixed for the whole session.
  VO2tFactor = ActivePreset ? StpdFactor(*ActivePreset) : 1.0;
  TDev* devices[kMaxDevices] = {};
  for (int i = 0; i < DeviceCount; ++i) devices[i] = Devices[i].get();
  const std::span<TDev* const> used(devices, static_cast<std::size_t>(DeviceCount));
  const int link = ThreadHandle.Start(used, *this, ErrorPort);
  if (link == 1) return 1;
  if (link != 0) return -1;
  if (CreateRecordFile() != 0) {
    // A later start must find the ports closed and no thread.
    ThreadHandle.Stop(used, *this);
    return -2;
  }
  return 0;
}

void TChannel::StopRecording() {
  if (!Running.load()) return;
  TDev* devices[kMaxDevices] = {};
  for (int i = 0; i < DeviceCount; ++i) devices[i] = Devices[i].get();
  ThreadHandle.Stop(std::span<TDev* const>(devices, static_cast<std::size_t>(DeviceCount)), *this);
  CompleteFailed = Recording && !CompleteRecordFile();
}

double TChannel::SteadyNow() const {
  if (SteadyClock) return SteadyClock();
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TChannel::SampleToChart(int64_t sample) {
  TGLOB& g = *Settings;
  // Row k is the sample of start + k × interval (the sampling grid keeps it
  // so within one interval), labelled as the reader labels the reopened
  // file: in the start's local-time terms, so a daylight-saving change
  // during the session moves no label.
  const double elapsed = static_cast<double>(sample) * (IntervalSeconds / 86400.0);
  g.SampleTime = SessionStartTime + elapsed;
  if (!g.AutoTimeScale && g.AutoScroll && Chart) {
    for (int axis : {AbsTimeAxis, RelTimeAxis}) {
      if (axis >= 0 && axis < Chart->CustomAxisCount()) {
        Chart->ScrollAxis(Chart->CustomAxis(axis), 1.0, true);
      }
    }
    Chart->ScrollAxis(Chart->BottomAxis(), 1.0, true);
  }
  const bool* visible = ActivePreset ? ActivePreset->Visible : nullptr;
  auto shows = [&](int c) { return visible && visible[c]; };
  if (shows(kVO2t)) {
    // Nothing measures O2 yet, so ValueO2 stays 0 unless a gas analyser feeds it.
    double v = (20.9 - ValueO2.load()) * VO2tFactor * ValueM.load() * 0.01;
    if (!(v >= 0)) v = 0;
    ValueVO2t = v;
    SeriesVO2t.Add(v);
  }
  for (int c : {kO2, kT, kV, kF, kM}) {
    if (shows(c)) ChannelSeries(c).Add(ChannelValue(c).load());
  }
  AbsTimeSeries.AddNull(chart::DayTimeLabel{g.SampleTime});
  RelTimeSeries.AddNull(chart::ElapsedLabel::FromDays(elapsed));
}

// --- the session ----------------------------------------------------------------

TSession::TSession(TChannel& channel, TGLOB& settings) : channel_(channel), settings_(settings) {}

std::string TSession::Text(int kind) const {
  return MessageText(kind, settings_.AppliedLanguage);
}

std::string TSession::FileError() const {
  return channel_.RecordFile.LastError(settings_.AppliedLanguage);
}

std::string TSession::StopTitle() const {
  return CaptionText(52, settings_.AppliedLanguage) + Quoted(channel_.RecordFileName);
}

TStartResult TSession::Start(std::string_view intervalText, std::string_view postfix,
                             bool scrollTicked, char separator) {
  TStartResult r;
  const int lang = settings_.AppliedLanguage;
  if (active_) {
    r.Result = TStartResult::kAlreadyRunning;
    return r;
  }
  if (std::string problem = PostfixProblem(postfix, lang); !problem.empty()) {
    r.Message = problem;
    return r;
  }
  const std::optional<double> interval = ParseSampleInterval(intervalText, lang, &r.Message, separator);
  if (!interval) return r;
  channel_.Postfix = std::string(postfix);
  channel_.IntervalSeconds = *interval;
  settings_.SampleInterval = *interval;
  channel_.ErrorPort = 0;
  const bool rebuilds = channel_.UsingOwnPreset;  // StartRecording builds the preset's chart
  const int started = channel_.StartRecording();
  if (started != 0) {
    r.ChartRebuilt = rebuilds;
    if (channel_.ErrorPort != 0) {
      settings_.MessageText = Text(3) + " " + std::to_string(channel_.ErrorPort);
      r.Result = TStartResult::kPortFailed;
    } else if (started == -2) {
      // "Error init thread" would send the operator looking in the wrong place.
      settings_.MessageText = Text(1) + channel_.RecordFileName;
      if (!FileError().empty()) {
        settings_.MessageText += ": " + FileError();
      }
      r.Result = TStartResult::kFileFailed;
    } else {
      settings_.MessageText = Text(4);
      r.Result = TStartResult::kThreadFailed;
    }
    r.Message = settings_.MessageText;
    return r;
  }
  channel_.ClearChart();
  ApplyAutoTimeScale(channel_, settings_, settings_.AutoTimeScale, scrollTicked);
  timerMs_ = TimerIntervalMs(channel_.IntervalSeconds);
  settings_.MarkPending = false;
  pendingMark_.clear();
  displayV_ = displayM_ = displayF_ = "0.0";
  r.MonitorTitle = CaptionText(51, lang) + Quoted(channel_.RecordFileName);
  settings_.ElapsedText = "[00:00:00]";
  settings_.StartTime = Now(channel_);
  steadyStart_ = channel_.SteadyNow();
  samples_ = 0;
  channel_.SessionStartTime = channel_.StartedTime;
  active_ = true;
  r.Result = TStartResult::kStarted;
  r.TimerMs = timerMs_;
  return r;
}

int64_t TSession::DueSamples() const {
  if (!active_ || !(channel_.IntervalSeconds > 0)) return 0;
  const double grid = std::floor((channel_.SteadyNow() - steadyStart_) / channel_.IntervalSeconds);
  if (!(grid > static_cast<double>(samples_))) return 0;
  return static_cast<int64_t>(std::min(grid - static_cast<double>(samples_), 1e15));
}

double TSession::SecondsToNextSample() const {
  if (!active_) return 0;
  return steadyStart_ + static_cast<double>(samples_ + 1) * channel_.IntervalSeconds - channel_.SteadyNow();
}

TTickResult TSession::Tick(std::string_view description, int64_t rows) {
  TTickResult r;
  if (!active_) return r;
  r.Sampled = true;
  TChannel& ch = channel_;
  if (!ch.FlowMeter().LinkAlive.load()) displayV_ = displayM_ = displayF_ = "???";
  rows = std::clamp<int64_t>(rows, 1, kMaxRowsPerTick);
  // What the displays show: the values the rows take.
  if (auto t = DisplayText(ch.ValueV.load(), 2)) displayV_ = *t;
  if (auto t = DisplayText(ch.ValueM.load(), 1)) displayM_ = *t;
  if (auto t = DisplayText(ch.ValueF.load(), 1)) displayF_ = *t;
  r.DisplayV = displayV_;
  r.DisplayM = displayM_;
  r.DisplayF = displayF_;
  for (int64_t row = 0; row < rows && active_; ++row) {
    ch.SampleToChart(++samples_);
    if (settings_.MarkPending) {
      ch.MarksSeries.Add(30.0, pendingMark_);
      settings_.MarkPending = false;
      r.MarkWritten = true;
    } else {
      ch.MarksSeries.AddNull();
    }
    if (ch.DataCount >= RowLimit && !RollOver(description, r)) return r;
    // The rows of a late tick carry the same average; the next frame starts
    // a new one after the last of them.
    if (!ch.WriteRow(row + 1 == rows)) {
      EndOnFailure(description, r, Text(1) + ch.RecordFileName + ": " + FileError());
      return r;
    }
  }
  r.MarkEnabled = true;
  return r;
}

// Completes the full file and continues in a new one; the chart goes on.
bool TSession::RollOver(std::string_view description, TTickResult& r) {
  TChannel& ch = channel_;
  r.PreviousFile = ch.RecordFileName;
  ch.RecordDescription = description.empty() ? " " : FirstChars(OneLine(description), kMaxDescription);
  if (!ch.CompleteRecordFile()) {
    EndOnFailure(description, r, Text(1) + r.PreviousFile + ": " + FileError());
    return false;
  }
  // The new file never takes the full one's name: CreateRecordFile moves on
  // to the next second when the name is taken.
  if (ch.CreateRecordFile() != 0) {
    std::string message = Text(1) + ch.RecordFileName;
    if (!FileError().empty()) message += ": " + FileError();
    // The rows are in the full file, completed above: the stop title and
    // the operator's last line must name it, not the file that never was.
    ch.RecordFileName = r.PreviousFile;
    EndOnFailure(description, r, message);
    return false;
  }
  r.RolledOver = true;
  r.Notice = OwnText(Own::kRolledOver, settings_.AppliedLanguage) + Quoted(r.PreviousFile) + "; " +
             CaptionText(51, settings_.AppliedLanguage) + Quoted(ch.RecordFileName);
  return true;
}

void TSession::EndOnFailure(std::string_view description, TTickResult& r,
                            const std::string& message) {
  TChannel& ch = channel_;
  ch.RecordDescription = description.empty() ? " " : FirstChars(OneLine(description), kMaxDescription);
  ch.StopRecording();  // completes the header as far as the disk still allows
  active_ = false;
  settings_.MarkPending = false;
  settings_.MessageText = message;
  r.Ended = true;
  r.Message = message;
  r.MonitorTitle = StopTitle();
  r.MarkEnabled = false;
}

TMarkResult TSession::Mark(std::string_view text) {
  TMarkResult r;
  const int lang = settings_.AppliedLanguage;
  if (!active_) {
    r.Result = TMarkResult::kRefused;
    r.Message = OwnText(Own::kNoSession, lang);
    return r;
  }
  if (settings_.MarkPending) {
    r.Result = TMarkResult::kRefused;
    r.Message = OwnText(Own::kMarkPending, lang);
    return r;
  }
  if (text.empty()) return r;
  if (Cp1251Length(text) > static_cast<std::size_t>(kMaxMark)) {
    r.Result = TMarkResult::kRefused;
    r.Message = OwnText(Own::kMarkTooLong, lang);
    return r;
  }
  pendingMark_ = OneLine(text);
  settings_.MarkPending = true;
  r.Result = TMarkResult::kPending;
  return r;
}

TStopResult TSession::Stop(std::string_view description) {
  TStopResult r;
  if (!active_) return r;
  TChannel& ch = channel_;
  std::string text = OneLine(description);
  if (Cp1251Length(text) > static_cast<std::size_t>(kMaxDescription)) {
    text = FirstChars(text, kMaxDescription);
    r.DescriptionCut = true;
  }
  // A mark goes with the next sample; one entered since the last would be
  // dropped by the stop, so the stop takes that sample now, at most one
  // interval early, rather than lose the operator's text.
  if (settings_.MarkPending) {
    const TTickResult last = Tick(description, 1);
    if (last.Ended) {  // the row could not be written: the failure ended the session
      r.Stopped = true;
      r.Message = last.Message;
      r.MonitorTitle = last.MonitorTitle;
      return r;
    }
  }
  ch.RecordDescription = text.empty() ? " " : text;
  ch.CompleteFailed = false;
  ch.StopRecording();
  if (ch.CompleteFailed) {
    r.Message = Text(1) + ch.RecordFileName + ": " + FileError();
    settings_.MessageText = r.Message;
  }
  active_ = false;
  settings_.MarkPending = false;
  pendingMark_.clear();
  r.Stopped = true;
  r.MonitorTitle = StopTitle();
  return r;
}

std::optional<TElapsed> TSession::ClockSecond() {
  if (!active_) return std::nullopt;
  // From the steady clock: a daylight-saving change or a clock set by hand
  // moves the time of day, never the time the recording has run.
  TElapsed e = ElapsedOf((channel_.SteadyNow() - steadyStart_) / 86400.0);
  settings_.ElapsedText = e.Text;
  return e;
}

}  // namespace vexa
