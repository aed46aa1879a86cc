// Experiment presets and the preset file (vexa.pset).
//
// The list holds at most 20 presets; slot 0 is always the built-in "Default",
// which is never stored. The file holds the others, little-endian, without a
// magic number:
//   int32 N (stored presets), int32 Current (index into the whole list),
//   then N records: int32 L1, L1 name bytes, int32 L2, L2 description bytes,
//   int32 AiroPort, int32 FlownPort, 4 doubles (AtmPressure, BodyMass,
//   AirTemperature, Humidity), 7 visibility bytes (VO2t, Ves, O2, T, V, F, M),
//   7 colours as uint32 in the order Ves, VO2t, O2, T, V, F, M.
// A record is 83 + L1 + L2 bytes. Texts are Windows-1251; this program writes
// at most 99 bytes and reads a longer one by its length, keeping 99.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/own_texts.h"
#include "recording/channels.h"

namespace vexa {

// Longest name or description, in Windows-1251 bytes, that a file can hold
// and read back (the reading side has always kept 99 bytes and a zero).
inline constexpr std::size_t kPresetTextMax = 99;
inline constexpr int kMaxPresets = 20;

class TPreset {
 public:
  int32_t AiroPort = 1;
  int32_t FlownPort = 2;
  std::string Name = "Default";  // UTF-8
  std::string Description = "Enterprise preset";
  double AtmPressure = 760.0;
  double BodyMass = 80.0;
  double AirTemperature = 20.0;
  double Humidity = 75.0;
  bool Visible[kChannelCount] = {false, false, false, false, true, false, true};
  // 0x00BBGGRR: aqua, yellow, blue, red, lime, sky blue, fuchsia.
  uint32_t Color[kChannelCount] = {0xFFFF00, 0x00FFFF, 0xFF0000, 0x0000FF,
                                   0x00FF00, 0xF0CAA6, 0xFF00FF};
};

// True when text fits a preset text field once written as Windows-1251
// (at most kPresetTextMax bytes, every character representable).
bool IsValidPresetText(std::string_view utf8);

// Sets Name or Description when the text fits; false and no change otherwise.
bool SetPresetName(TPreset& p, std::string_view utf8);
bool SetPresetDescription(TPreset& p, std::string_view utf8);

// What the operator is told once of a preset file that does not read back
// whole: the file, why (kPresetCannotRead ... kPresetTrailingBytes), how many
// stored presets were read, and the copy it is kept as; composed in the
// language on screen when it is shown.
struct TPresetLoadProblem {
  std::string File;
  TOwnMessage Why;
  int32_t PresetsRead = 0;
  std::string Copy;

  bool empty() const { return Why.empty(); }
  std::string Text(int language) const;
};

class TPresets {
 public:
  int32_t Count = 0;
  int32_t Current = 0;
  std::unique_ptr<TPreset> Items[kMaxPresets];
  std::string FileName;
  // Set by Load when the file exists but does not read back whole (a record
  // cut short, a negative text length, more records than the list holds, a
  // text cut to 99 bytes, bytes after the last record, a read error): what
  // happened, to be told to the operator once. The first Save then keeps the
  // file as DamagedCopy before it writes a new one; a copy it cannot make
  // leaves the file untouched and the Save fails.
  TPresetLoadProblem LoadProblem;
  std::string DamagedCopy;

  TPresets() = default;                     // an empty list; AddDefault or Load fills it
  explicit TPresets(std::string fileName);  // stores the name, then Load
  ~TPresets();                              // Save, result ignored
  TPresets(const TPresets&) = delete;
  TPresets& operator=(const TPresets&) = delete;

  // Empties the list, adds "Default" and reads the file over it. A missing or
  // broken file leaves what could be read soundly (at least "Default").
  void Load();
  // Writes the list through a temporary file, or deletes the file when only
  // "Default" is held. True on success.
  bool Save();
  // Appends a preset with the default values and makes it current; nothing
  // at all when the list is full.
  void AddDefault();
  // Deletes the preset at index and makes the one before the current preset
  // current; nothing when Current is 0 or index is not a stored preset
  // (slot 0 can never be removed).
  void Remove(int index);

  // Empties the list (Count 0, Current 0).
  void Clear();
};

// Whether the list holds a preset of that name, letter case ignored (Latin
// and Cyrillic): "Add" refuses a name already there.
bool HasPresetNamed(const TPresets& list, std::string_view utf8);

// What a preset file held, as far as it could be read.
struct PresetParseResult {
  bool complete = false;  // every announced record was read
  int32_t announced = 0;  // N from the file
  int32_t savedCurrent = 0;
  TOwnMessage problem;  // why the bytes are not all read as they are; empty when they are
};

// Empties list, adds "Default" and appends the records of a file image;
// never reads past bytes. A text longer than 99 bytes is read by its length
// and its first 99 bytes kept. Stops at the first record that does not fit
// (a negative length, a length beyond the data, a list already full).
// Current becomes the saved index when it names a preset that was read,
// else 0.
PresetParseResult ParsePresets(std::span<const std::byte> bytes, TPresets& list);

// The file image of slots 1..Count-1 (empty when Count <= 1). Texts longer
// than 99 bytes are cut so the image always reads back.
std::vector<std::byte> SerializePresets(const TPresets& list);

}  // namespace vexa
