#include "recording/channel.h"

#include <utility>

namespace vexa {

TChannel::TChannel(TGLOB& settings) : Settings(&settings) {
  // Series titles are the recording files' column names.
  chart::Series* bySeries[kChannelCount] = {&SeriesVO2t, &SeriesVes, &SeriesO2, &SeriesT,
                                            &SeriesV,    &SeriesF,   &SeriesM};
  for (int c = 0; c < kChannelCount; ++c) bySeries[c]->Title = kChannelTitle[c];
  for (chart::Series* s : {&SeriesO2, &SeriesT, &SeriesV, &SeriesF, &SeriesM}) {
    s->XValuesDateTime = false;
    s->Dark3D = true;
    s->ClickableLine = false;
    s->ColorEachPoint = false;
  }
  SeriesO2.Color = 0x808000;
  SeriesT.Color = 0x0000FF;
  SeriesV.Color = 0x00FF00;
  AddDevice(kKindFlown);
}

TChannel::~TChannel() {
  // The exit sequence stops a session first; stopping here too keeps a
  // forgotten session from leaving a thread reading a destroyed instrument.
  if (Running.load()) StopRecording();
  if (Chart) Chart->RemoveAllSeries();
  Presets.reset();  // saves the preset file
  DeleteDevices();
}

void TChannel::AddDevice(uint8_t kind) {
  if (DeviceCount >= kMaxDevices) return;
  Devices[DeviceCount] = std::make_unique<TDev>(kind);
  LastDeviceIndex = DeviceCount;
  ++DeviceCount;
}

void TChannel::DeleteDevices() {
  for (int i = 0; i < DeviceCount; ++i) Devices[i].reset();
  DeviceCount = 0;
}

void TChannel::OpenPresets(const std::string& fileName) {
  PresetFileName = fileName;
  Presets = std::make_unique<TPresets>(fileName);
}

chart::Series& TChannel::ChannelSeries(int c) {
  chart::Series* bySeries[kChannelCount] = {&SeriesVO2t, &SeriesVes, &SeriesO2, &SeriesT,
                                            &SeriesV,    &SeriesF,   &SeriesM};
  return *bySeries[c];
}

std::atomic<double>& TChannel::ChannelValue(int c) {
  std::atomic<double>* byValue[kChannelCount] = {&ValueVO2t, &ValueVes, &ValueO2, &ValueT,
                                                 &ValueV,    &ValueF,   &ValueM};
  return *byValue[c];
}

}  // namespace vexa
