// The recording object: the seven channels with their series and latest
// values, the time-label and marks series, the instrument, the preset list
// and the preset in force, the state of the recording file while a session
// runs, and the header of the recording file read last.
//
// One object exists for the life of the program (the desktop program keeps it
// in the global reference Channel); vexa-rec and the tests build their own.
// Operations on sessions, files and the chart layout are methods too; they
// are implemented in session.cpp, record_writer.cpp, record_reader.cpp,
// folder_scan.cpp and chart_layout.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/chart.h"
#include "chart/series.h"
#include "core/settings.h"
#include "link/acquisition.h"
#include "link/device.h"
#include "recording/channels.h"
#include "recording/preset.h"
#include "recording/record_file.h"

namespace vexa {

class TRecordingList;  // folder_scan.h: the open window's file list
class TProgress;       // folder_scan.h: the open window's progress bar
struct TRecordingHeader;  // record_header.h

inline constexpr int kMaxDevices = 21;
inline constexpr int kMaxColumnNames = 40;
inline constexpr int kMaxChannelAxes = 10;  // custom-axis indices 3..9 are channel axes

// Threads: the acquisition thread writes ValueV, ValueF, ValueM and reads
// Running (all in TLinkShared, see link/acquisition.h); everything else here
// belongs to the window thread. The other four values are atomic too only so
// that ColumnValue can refer to any of the seven alike.
class TChannel : public TLinkShared {
 public:
  // Adds the flow meter in slot 0. `settings` must outlive the object.
  explicit TChannel(TGLOB& settings);
  // Destroys OwnPreset, then Presets (which saves the preset file), then the
  // instruments (closing their ports). A session still running is stopped
  // first: its thread must not outlive the instrument it reads.
  ~TChannel();
  TChannel(const TChannel&) = delete;
  TChannel& operator=(const TChannel&) = delete;

  // --- instruments and presets ------------------------------------------------
  void AddDevice(uint8_t kind);
  void DeleteDevices();
  void OpenPresets(const std::string& fileName);
  TDev& FlowMeter() { return *Devices[0]; }

  // --- chart layout (chart_layout.cpp) ----------------------------------------
  void CreateFixedAxes(chart::Chart& chart);
  void ClearChart();
  void BuildChart();
  void AttachChannelSeries(chart::Series& series, chart::ColorRef colour);
  void ArrangeAxes(int oneAxes);
  void ClipSeries(chart::Series& series);
  void UnclipSeries(chart::Series& series);
  // What ticking the control panel's "all axes automatic" box does: every
  // channel axis scales itself to its data, and that range becomes the range
  // a pan returns to (ViewMin, ViewMax).
  void MakeChannelAxesAutomatic();

  // --- session (session.cpp) ---------------------------------------------------
  // 0 started; 1 a port failed (ErrorPort holds its number); -1 the thread
  // could not be created; -2 the recording file could not be created.
  int StartRecording();
  void StopRecording();
  // Sample number `sample` (from 1) of the session into the chart: the
  // values, and the time labels of start + sample × interval, as the file
  // reopened labels its row.
  void SampleToChart(int64_t sample);

  // --- recording files (record_writer.cpp, record_reader.cpp, folder_scan.cpp) --
  int CreateRecordFile();
  // Appends the row of the sample just taken. False when the write or the
  // sync failed (RecordFile.LastError() says why): the session must end.
  // restartAverage false keeps the values for a row that follows at once
  // (a late tick's rows carry the same average).
  bool WriteRow(bool restartAverage = true);
  // Writes stop time, description and row count into the header; false when
  // that failed (the rows written before are still on disk).
  bool CompleteRecordFile();
  // True once DataCount has reached the six-character "Data-Count" slot's
  // limit (kMaxDataCount in record_format.h): WriteRow then refuses the row.
  bool RowLimitReached() const;
  // 0 read; 1 cannot be opened; 2 format version above 2; 3 not a recording
  // (first line not "Format-Version"); 4 a header value does not convert.
  // On any failure the header members keep their values, but nothing is
  // left to load (LoadFileName is empty).
  int ReadHeader(const std::string& path);
  // Takes a header read by ReadRecordingHeader (record_header.h) as
  // ReadHeader takes it; its texts are moved out.
  void ApplyHeader(const std::string& path, TRecordingHeader& header);
  void ApplyColumnHeader();
  // 0 loaded; 1 cannot be opened or read; 2 the last header read did not
  // reach its "Data-Table" line or named no columns (nothing is loaded);
  // 3 a read error after the rows began (the chart holds part of the file).
  int LoadRecording();
  // 0 done; 1 no list to fill; 2 the folder cannot be listed (list emptied).
  // The header members are left as they are: the chart shown and its print
  // title keep describing the recording shown.
  int ScanFolder(const std::string& folder);
  std::string NextImageFileName();

  // --- members -----------------------------------------------------------------
  chart::Series SeriesVes, SeriesVO2t, SeriesO2, SeriesT, SeriesV, SeriesF, SeriesM;
  TRecordingList* OpenListView = nullptr;
  chart::Chart* Chart = nullptr;
  TGLOB* Settings = nullptr;
  std::unique_ptr<TDev> Devices[kMaxDevices];
  TPreset OwnPreset;
  TPreset* ActivePreset = nullptr;
  TRecordFile RecordFile;
  std::string RecordFileName;
  std::string Postfix;
  std::string RecordDescription;
  std::string ImageFileName;
  std::string PresetFileName;
  std::string ScanFolderPath;
  int64_t StoppedValueOffset = 0;
  int64_t DataCountValueOffset = 0;
  int64_t DescriptionValueOffset = 0;
  int32_t DataCount = 0;
  int32_t ImageCount = 0;
  int32_t LastDeviceIndex = -1;
  int32_t DeviceCount = 0;
  chart::Series AbsTimeSeries, RelTimeSeries;
  chart::Series MarksSeries{chart::SeriesKind::kBar};
  TProgress* ProgressBar = nullptr;
  std::string LoadFileName;
  std::string HeaderDeviceName;
  int32_t HeaderChannelsCount = 0;
  int32_t HeaderFormatVersion = 0;
  double StartedTime = 0;
  // The running session's start as its first file's header has it: the
  // live chart's labels count from it, also past a roll-over.
  double SessionStartTime = 0;
  double StoppedTime = 0;
  double IntervalSeconds = 0;
  int64_t DataTableOffset = 0;
  int32_t ColumnNameCount = 0;
  double IntervalTime = 0;
  std::string ColumnNames[kMaxColumnNames];
  uint32_t ColumnColors[kMaxColumnNames] = {};
  bool FileViewMode = false;
  bool UsingOwnPreset = false;
  int OneAxesMode = 0;
  // Custom-axis indices in Chart (-1 before CreateFixedAxes); ChannelAxis[c]
  // is channel c's axis, -1 while the channel is not shown.
  int AbsTimeAxis = -1, RelTimeAxis = -1, MarksAxis = -1;
  int ChannelAxis[kChannelCount] = {-1, -1, -1, -1, -1, -1, -1};
  std::unique_ptr<TPresets> Presets;
  TAcquisition ThreadHandle;
  int32_t ErrorPort = 0;
  bool Recording = false;
  // Set by StopRecording when CompleteRecordFile failed (the rows are on disk).
  bool CompleteFailed = false;
  std::atomic<double> ValueO2{0}, ValueT{0}, ValueVes{0}, ValueVO2t{0};
  std::atomic<double>* ColumnValue[kChannelCount] = {};
  int32_t ColumnCount = 0;
  double SavedTimeMin = 0, SavedTimeMax = 0;
  double HomeMin[kMaxChannelAxes] = {}, HomeMax[kMaxChannelAxes] = {};
  double ViewMin[kMaxChannelAxes] = {}, ViewMax[kMaxChannelAxes] = {};
  double VO2tFactor = 1.0;
  // The clock the recording file's name and times come from; empty means
  // NowDateTime(). Tests set a fixed one.
  std::function<double()> Clock;
  // Seconds on a clock that never jumps (the sampling grid, the elapsed
  // clock); empty means std::chrono::steady_clock. Tests set their own.
  std::function<double()> SteadyClock;
  double SteadyNow() const;
  // The last ReadHeader reached the "Data-Table" line (DataTableOffset is
  // this file's); LoadRecording refuses a file without it.
  bool DataTableFound = false;
  // The last LoadRecording left out a last line without its line end that
  // lacks columns (a row a crash cut short).
  bool TornLastRow = false;

  // The series and the value of channel c (order VO2t, Ves, O2, T, V, F, M).
  chart::Series& ChannelSeries(int c);
  std::atomic<double>& ChannelValue(int c);
};

}  // namespace vexa
