#include "recording/preset.h"

#include <cmath>
#include <utility>

#include "core/atomic_file.h"
#include "core/bytes.h"
#include "core/cp1251.h"
#include "core/datetime.h"

namespace vexa {
namespace {

// Every record is 83 bytes and its texts; 19 records of texts far longer
// than any field takes fit inside this. A larger file is not read whole.
constexpr std::size_t kMaxPresetFile = 1024 * 1024;

// The text of a field: Windows-1251 bytes up to the first zero, as UTF-8.
std::string FieldText(std::string_view raw) {
  const auto zero = raw.find('\0');
  return Cp1251ToUtf8(raw.substr(0, zero));
}

// A stored text, cut to what the reading side can take back.
std::string StoredText(const std::string& utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > kPresetTextMax) bytes.resize(kPresetTextMax);
  return bytes;
}

// A text by its length; one longer than the field takes keeps its first 99
// bytes (older copies of the program wrote such texts). False when the
// length is negative or runs past the data.
bool ReadText(ByteReader& in, std::string& out, bool& cut) {
  int32_t length;
  std::string_view raw;
  if (!in.I32(length) || length < 0 || !in.Bytes(static_cast<std::size_t>(length), raw)) {
    return false;
  }
  cut = cut || raw.size() > kPresetTextMax;
  out = FieldText(raw.substr(0, kPresetTextMax));
  return true;
}

// A number that is not finite would end up as "nan" in every recording's
// header; the preset keeps its default for that field instead.
void ReadNumber(double value, double& field) {
  if (std::isfinite(value)) field = value;
}

bool ReadRecord(ByteReader& in, TPreset& p, bool& cut) {
  if (!ReadText(in, p.Name, cut) || !ReadText(in, p.Description, cut)) return false;
  double numbers[4];
  if (!in.I32(p.AiroPort) || !in.I32(p.FlownPort)) return false;
  for (double& n : numbers) {
    if (!in.F64(n)) return false;
  }
  ReadNumber(numbers[0], p.AtmPressure);
  ReadNumber(numbers[1], p.BodyMass);
  ReadNumber(numbers[2], p.AirTemperature);
  ReadNumber(numbers[3], p.Humidity);
  for (bool& visible : p.Visible) {
    uint8_t b;
    if (!in.U8(b)) return false;
    visible = b != 0;
  }
  // The colours of Ves and VO2t are stored in that order, the reverse of the
  // flags before them.
  static constexpr int kColorOrder[kChannelCount] = {kVes, kVO2t, kO2, kT, kV, kF, kM};
  for (const int channel : kColorOrder) {
    if (!in.U32(p.Color[channel])) return false;
  }
  return true;
}

}  // namespace

bool IsValidPresetText(std::string_view utf8) {
  return IsCp1251Representable(utf8) && Cp1251Length(utf8) <= kPresetTextMax;
}

bool HasPresetNamed(const TPresets& list, std::string_view utf8) {
  const std::string name = FoldedCp1251(utf8);
  for (int i = 0; i < list.Count && i < kMaxPresets; ++i) {
    if (list.Items[i] && FoldedCp1251(list.Items[i]->Name) == name) return true;
  }
  return false;
}

bool SetPresetName(TPreset& p, std::string_view utf8) {
  if (!IsValidPresetText(utf8)) return false;
  p.Name = utf8;
  return true;
}

bool SetPresetDescription(TPreset& p, std::string_view utf8) {
  if (!IsValidPresetText(utf8)) return false;
  p.Description = utf8;
  return true;
}

TPresets::TPresets(std::string fileName) : FileName(std::move(fileName)) { Load(); }

TPresets::~TPresets() {
  if (!FileName.empty()) Save();
}

void TPresets::Clear() {
  for (auto& item : Items) item.reset();
  Count = 0;
  Current = 0;
}

void TPresets::AddDefault() {
  if (Count >= kMaxPresets) return;
  Items[Count] = std::make_unique<TPreset>();
  Current = Count;
  ++Count;
}

void TPresets::Remove(int index) {
  if (Current == 0 || index < 1 || index >= Count) return;
  for (int i = index; i + 1 < Count; ++i) Items[i] = std::move(Items[i + 1]);
  Items[Count - 1].reset();
  --Count;
  // The control panel removes the current preset, and the one before it
  // becomes current; a preset after the current one leaves Current alone.
  if (index <= Current) --Current;
}

void TPresets::Load() {
  LoadProblem = {};
  DamagedCopy.clear();
  std::vector<std::byte> bytes;
  TOwnMessage problem;
  std::string error;
  if (!FileName.empty() && PathExists(FileName)) {
    if (!ReadFileBytes(FileName, kMaxPresetFile + 1, bytes, &error)) {
      problem = {Own::kPresetCannotRead, {error}};
      bytes.clear();
    } else if (bytes.size() > kMaxPresetFile) {
      problem = {Own::kPresetTooLarge, {}};
      bytes.resize(kMaxPresetFile);
    }
  }
  const PresetParseResult r = ParsePresets(bytes, *this);
  if (problem.empty()) problem = r.problem;
  // Whatever would not be written back byte for byte (a number that is not
  // finite, a flag byte other than 0 or 1, a text with a zero inside) would
  // be lost at the next save as well.
  if (problem.empty() && !bytes.empty() && SerializePresets(*this) != bytes) {
    problem = {Own::kPresetNotWritable, {}};
  }
  if (problem.empty()) return;
  DamagedCopy = FileName + ".damaged-" + FormatFileStamp(NowDateTime());
  LoadProblem = {FileName, std::move(problem), Count - 1, DamagedCopy};
}

std::string TPresetLoadProblem::Text(int language) const {
  if (empty()) return {};
  return FormatOwn(Own::kPresetFileProblem, language,
                   {File, Why.Text(language), std::to_string(PresetsRead), Copy});
}

bool TPresets::Save() {
  if (FileName.empty()) return false;
  if (!DamagedCopy.empty() && PathExists(FileName)) {
    if (!MoveAside(FileName, DamagedCopy).ok) return false;
  }
  DamagedCopy.clear();
  if (Count <= 1) return RemoveFile(FileName).ok;
  const std::vector<std::byte> bytes = SerializePresets(*this);
  return WriteFileAtomic(FileName, bytes).ok;
}

PresetParseResult ParsePresets(std::span<const std::byte> bytes, TPresets& list) {
  list.Clear();
  list.AddDefault();
  PresetParseResult result;
  ByteReader in(bytes);
  if (!in.I32(result.announced) || !in.I32(result.savedCurrent)) {
    if (!bytes.empty()) result.problem = {Own::kPresetShortHead, {}};
    return result;
  }
  int32_t read = 0;
  bool cut = false;
  while (read < result.announced) {
    if (list.Count >= kMaxPresets) {
      result.problem = {Own::kPresetTooMany,
                        {std::to_string(result.announced), std::to_string(kMaxPresets - 1)}};
      break;
    }
    TPreset p;
    if (!ReadRecord(in, p, cut)) {
      result.problem = {Own::kPresetBadRecord, {std::to_string(read + 1)}};
      break;
    }
    list.AddDefault();
    *list.Items[list.Count - 1] = std::move(p);
    ++read;
  }
  result.complete = read == result.announced;
  if (result.problem.empty() && result.announced < 0) {
    result.problem = {Own::kPresetNegativeCount, {std::to_string(result.announced)}};
  } else if (result.problem.empty() && cut) {
    result.problem = {Own::kPresetTextsCut, {}};
  } else if (result.problem.empty() && in.left() > 0) {
    result.problem = {Own::kPresetTrailingBytes, {}};
  }
  list.Current =
      result.savedCurrent >= 0 && result.savedCurrent < list.Count ? result.savedCurrent : 0;
  return result;
}

std::vector<std::byte> SerializePresets(const TPresets& list) {
  ByteWriter out;
  int32_t count = 0;  // stored presets: the filled slots after "Default"
  while (count + 1 < list.Count && count + 1 < kMaxPresets && list.Items[count + 1]) ++count;
  if (count == 0) return {};
  out.I32(count);
  out.I32(list.Current >= 0 && list.Current <= count ? list.Current : 0);
  for (int32_t i = 1; i <= count; ++i) {
    const TPreset& p = *list.Items[i];
    const std::string name = StoredText(p.Name), description = StoredText(p.Description);
    out.I32(static_cast<int32_t>(name.size()));
    out.Text(name);
    out.I32(static_cast<int32_t>(description.size()));
    out.Text(description);
    out.I32(p.AiroPort);
    out.I32(p.FlownPort);
    out.F64(p.AtmPressure);
    out.F64(p.BodyMass);
    out.F64(p.AirTemperature);
    out.F64(p.Humidity);
    for (const bool visible : p.Visible) out.U8(visible ? 1 : 0);
    for (const int channel : {kVes, kVO2t, kO2, kT, kV, kF, kM}) out.U32(p.Color[channel]);
  }
  return std::move(out.bytes());
}

}  // namespace vexa
