// The recording session without windows: what the control panel's start,
// stop and mark buttons, its sampling timer and its once-a-second clock do,
// with the operator's inputs as arguments and the results as values. The
// desktop program calls these from its handlers (a QTimer as the sampling
// timer); vexa-rec calls them from a steady-clock loop. Both therefore write
// the same files.
//
// Everything here runs on one thread (the window thread); the only other
// thread is the acquisition thread inside TChannel::ThreadHandle.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "recording/preset.h"
#include "recording/record_format.h"

namespace vexa {

class TChannel;

// Field limits of the control panel and the text-entry window, in characters.
inline constexpr int kMaxIntervalText = 15;
inline constexpr int kMaxPostfix = 15;
inline constexpr int kMaxDescription = 80;
inline constexpr int kMaxMark = 50;
// The header stores the interval with one decimal: a shorter one would be
// stored as "0.0", and a reopened recording would give every row the start
// time. (0.05 itself is stored as 0.1.)
inline constexpr double kMinIntervalSeconds = 0.05;
// The timer takes its interval as an int of milliseconds.
inline constexpr double kMaxIntervalSeconds = 2147483.0;

// --- pure helpers -------------------------------------------------------------

// The interval text read as seconds, "." as the decimal point under any
// locale (and `separator` as well: the system's, as the control panel's
// field shows it), blanks around the number allowed. Empty with `error` set
// (in the language given, quoting the text as it stands) for text that is
// not a number, too long, not finite, or an interval that would record
// nothing or overflow the timer.
std::optional<double> ParseSampleInterval(std::string_view text, int language,
                                          std::string* error = nullptr, char separator = '.');

// The sampling timer's interval: the whole part of seconds × 1000.
int32_t TimerIntervalMs(double seconds);

// The STPD factor of a preset: (P − p_H2O) / 760 × 273.15 / (273.15 + T),
// P the atmospheric pressure in mm Hg, T the air temperature in °C and p_H2O
// the water vapour pressure: the saturation pressure at T (Magnus formula)
// times the relative humidity / 100. 1.0 when the preset's values make no
// physical sense (not finite, P ≤ 0, T ≤ −273.15, humidity outside 0..100)
// or the result is not a positive finite number.
double StpdFactor(const TPreset& preset);

// Saturation vapour pressure of water over a flat surface in mm Hg at t °C
// (Magnus formula with the Alduchov–Eskridge constants).
double SaturationPressureMmHg(double t);

// A display's text for a value: `decimals` places; nullopt when the value
// is 0 (the display keeps its previous text).
std::optional<std::string> DisplayText(double value, int decimals);

// Hours (whole days × 24 plus the hour), minutes and seconds of a span of
// days, and its text "[%d:%02d:%02d]".
struct TElapsed {
  int32_t Hours = 0, Minutes = 0, Seconds = 0;
  std::string Text;
};
TElapsed ElapsedOf(double days);

// A postfix the file name can carry: at most 15 characters, valid UTF-8,
// none of / \ : * ? " < > | nor control characters. Empty when fine, else
// the reason in the language given.
std::string PostfixProblem(std::string_view postfix, int language);

// The control panel's automatic-time-scale handler: AutoTimeScale := state,
// automatic scaling of the two time axes and the bottom axis := state,
// AutoScroll := not state and the scroll check box ticked.
void ApplyAutoTimeScale(TChannel& channel, TGLOB& settings, bool state, bool scrollTicked);

// --- the session ----------------------------------------------------------------

struct TStartResult {
  enum Outcome {
    kStarted,
    kAlreadyRunning,  // nothing happened
    kRefused,         // bad interval or postfix: nothing opened
    kPortFailed,      // StartRecording 1
    kThreadFailed,    // StartRecording -1
    kFileFailed,      // StartRecording -2
  };
  Outcome Result = kRefused;
  std::string Message;       // for the message window when not started
  int32_t TimerMs = 0;       // the sampling timer's interval when started
  std::string MonitorTitle;  // the monitor's title when started
  // Not started, but the chart was built anew from the preset on the way
  // (a recording opened before is no longer in it).
  bool ChartRebuilt = false;
};

struct TTickResult {
  bool Sampled = false;  // false when no session runs
  // What the three numeric displays show now (lVO2t: V, lM: M, lO2: F).
  std::string DisplayV, DisplayM, DisplayF;
  bool MarkEnabled = true;    // bMARK after the tick
  bool MarkWritten = false;   // this sample carries the pending mark
  // A new file was begun because the last one reached RowLimit rows; the
  // completed file is PreviousFile. Notice is the text to show.
  bool RolledOver = false;
  std::string PreviousFile;
  std::string Notice;
  // The session ended on a failure (write, sync, or a new file that could
  // not be made); Message says why, and the caller does what the stop
  // button does to the window (MonitorTitle is the stop title).
  bool Ended = false;
  std::string Message;
  std::string MonitorTitle;
};

struct TMarkResult {
  enum Outcome {
    kPending,   // stored with the next sample
    kIgnored,   // empty text: nothing changes (as Cancel)
    kRefused,   // no session, a mark already pending, or the text too long
  };
  Outcome Result = kIgnored;
  std::string Message;
};

struct TStopResult {
  bool Stopped = false;  // false when no session ran
  std::string MonitorTitle;
  // The stop time, description or row count could not be written into the
  // header; the rows are on disk.
  std::string Message;
  bool DescriptionCut = false;  // longer than 80 characters: the first 80 kept
};

class TSession {
 public:
  TSession(TChannel& channel, TGLOB& settings);

  // bSTARTClick. scrollTicked is the state of the control panel's scroll
  // check box (cbScrool); separator the decimal separator the interval
  // field takes besides "." (ParseSampleInterval). Refusals and failures
  // leave the session idle with nothing open.
  TStartResult Start(std::string_view intervalText, std::string_view postfix, bool scrollTicked,
                     char separator = '.');

  // The sampling grid: sample k (from 1) is due at start + k × interval on
  // the steady clock (TChannel::SteadyClock), whenever the tick before it
  // came. DueSamples is how many are due now and not yet taken;
  // SecondsToNextSample how long until the next is (negative when late).
  int64_t DueSamples() const;
  double SecondsToNextSample() const;

  // TimerIntervalTimer: takes `rows` samples (1 to kMaxRowsPerTick; a late
  // tick takes every one that came due, so row k stays the sample of time
  // k × interval, and they all carry the values at hand). description is
  // the description field's text now: it goes into a file completed by a
  // roll-over or a failure.
  TTickResult Tick(std::string_view description = {}, int64_t rows = 1);
  static constexpr int64_t kMaxRowsPerTick = 1000;  // the rest at the next tick

  // The text-entry window closed with OK and this text (bMARKClick).
  TMarkResult Mark(std::string_view text);

  // bSTOPClick with the description field's text. A mark still pending is
  // written with one last sample first.
  TStopResult Stop(std::string_view description);

  // VrClock1SecondsChanged: the elapsed time on the steady clock since the
  // start (never moved by a daylight-saving change), also stored in
  // ElapsedText; nothing while no session runs.
  std::optional<TElapsed> ClockSecond();

  bool Active() const { return active_; }       // bSTOP enabled
  bool MarkEnabled() const { return active_ && !settings_.MarkPending; }
  int32_t TimerMs() const { return timerMs_; }

  // Rows per file before the session continues in a new file.
  int32_t RowLimit = kMaxDataCount;

 private:
  std::string Text(int kind) const;
  std::string FileError() const;  // why the recording file failed, in the language on screen
  std::string StopTitle() const;
  bool RollOver(std::string_view description, TTickResult& r);
  void EndOnFailure(std::string_view description, TTickResult& r, const std::string& message);

  TChannel& channel_;
  TGLOB& settings_;
  bool active_ = false;
  int32_t timerMs_ = 0;
  double steadyStart_ = 0;  // TChannel::SteadyNow() at the start
  int64_t samples_ = 0;     // samples taken since the start
  std::string pendingMark_;  // the text-entry window's field
  std::string displayV_, displayM_, displayF_;
};

}  // namespace vexa
