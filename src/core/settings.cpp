#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/atomic_file.h"
#include "core/bytes.h"
#include "core/cp1251.h"
#include "core/numtext.h"
#include "core/paths.h"

namespace vexa {
namespace {

// Text of a fixed slot: bytes up to the first zero, and never the slot's
// last byte, which is the terminator whatever the file holds there.
std::string SlotText(const std::byte* p, std::size_t width) {
  const char* text = reinterpret_cast<const char*>(p);
  std::size_t n = 0;
  while (n + 1 < width && text[n] != '\0') ++n;
  return Cp1251ToUtf8(std::string_view(text, n));
}

void PutSlotText(std::byte* p, std::size_t width, const std::string& utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > width - 1) bytes.resize(width - 1);
  std::fill(p, p + width, std::byte{0});
  std::copy_n(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size(), p);
}

// A slot as read stays byte for byte while its text is unchanged and it holds
// its terminator; otherwise it is written anew, zeros after the text.
void KeepOrPutSlotText(std::byte* p, std::size_t width, const std::string& utf8) {
  const bool terminated = std::find(p, p + width, std::byte{0}) != p + width;
  if (terminated && SlotText(p, width) == utf8) return;
  PutSlotText(p, width, utf8);
}

int32_t ClampCount(int32_t count) { return std::clamp<int32_t>(count, 0, kHistorySize); }

// Lists the stored fields once, in file order; the encoder, the decoder and
// the description all walk this list. G is TGLOB or const TGLOB.
template <class G, class V>
void VisitStored(G& g, V& v) {
  v.Raw("Magic", 0, g.Magic);
  v.I32("FormatVersion", 4, g.FormatVersion);
  v.I32("FormatRevision", 8, g.FormatRevision);
  v.Raw("Banner", 12, g.Banner);
  v.Bool("PrintColor", 92, g.PrintColor);
  v.Bool("PrintLandscape", 93, g.PrintLandscape);
  v.Bool("ShowAxisTitles", 94, g.ShowAxisTitles);
  v.Bool("PrintFileName", 95, g.PrintFileName);
  v.Bool("PrintDescription", 96, g.PrintDescription);
  v.Bool("PrintDate", 97, g.PrintDate);
  v.Bool("PrintSampleInterval", 98, g.PrintSampleInterval);
  v.I32("PrinterIndex", 100, g.PrinterIndex);
  v.Bool("ShowLegend", 104, g.ShowLegend);
  v.Bool("ShowMarks", 105, g.ShowMarks);
  v.Bool("AbsTimeScale", 106, g.AbsTimeScale);
  v.Bool("Show3D", 107, g.Show3D);
  v.Bool("Rotate", 108, g.Rotate);
  v.Bool("AutoTimeScale", 109, g.AutoTimeScale);
  v.Bool("AutoScrollAtStart", 110, g.AutoScrollAtStart);
  v.Bool("ShowGrid", 111, g.ShowGrid);
  v.Bool("OneAxes", 112, g.OneAxes);
  v.Bool("AllVertAuto", 113, g.AllVertAuto);
  v.Bool("UndoZoomAuto", 114, g.UndoZoomAuto);
  v.F64("SampleInterval", 120, g.SampleInterval);
  v.I32("Language", 128, g.Language);
  v.I32("MonitorState", 132, g.MonitorState);
  v.I32("MonitorTop", 136, g.MonitorTop);
  v.I32("MonitorLeft", 140, g.MonitorLeft);
  v.I32("MonitorWidth", 144, g.MonitorWidth);
  v.I32("MonitorHeight", 148, g.MonitorHeight);
  v.I32("ControlState", 152, g.ControlState);
  v.I32("ControlTop", 156, g.ControlTop);
  v.I32("ControlLeft", 160, g.ControlLeft);
  v.I32("OpenTop", 164, g.OpenTop);
  v.I32("OpenLeft", 168, g.OpenLeft);
  v.I32("OpenHeight", 172, g.OpenHeight);
  v.I32("OpenWidth", 176, g.OpenWidth);
  v.History("DirHistory", 180, 184, g.DirHistoryCount, g.DirHistory);
  v.History("OpenHistory", 1476, 1480, g.OpenHistoryCount, g.OpenHistory);
  v.I32("MailReserved1", 2772, g.MailReserved1);
  v.U8("MailReserved2", 2776, g.MailReserved2);
  v.I32("Pop3Port", 2780, g.Pop3Port);
  v.I32("SmtpPort", 2784, g.SmtpPort);
  v.Text("MailHost", 2788, kMailTextSlot, g.MailHost);
  v.Text("MailLogin", 2808, kMailTextSlot, g.MailLogin);
  v.Text("MailPassword", 2828, kMailTextSlot, g.MailPassword);
  v.I32("MailPollSeconds", 2848, g.MailPollSeconds);
  v.I32("MailReserved3", 2852, g.MailReserved3);
}

// Writes the fields over the image they were read from (zeros for a new
// file), so that bytes no field owns keep what the file held. A number is
// simply stored again: an unchanged value gives the same bytes.
class Encoder {
 public:
  explicit Encoder(const std::array<std::byte, kSettingsSize>& base) : image(base) {}
  std::array<std::byte, kSettingsSize> image;

  template <std::size_t N>
  void Raw(const char*, std::size_t at, const std::array<char, N>& a) {
    std::array<char, N> was;
    std::copy_n(reinterpret_cast<const char*>(image.data() + at), N, was.data());
    was[N - 1] = '\0';
    std::array<char, N> now = a;
    now[N - 1] = '\0';
    if (was == now) return;  // kept as read, whatever its last byte holds
    std::copy_n(reinterpret_cast<const std::byte*>(now.data()), N, image.data() + at);
  }
  void I32(const char*, std::size_t at, int32_t v) { StoreI32(image.data() + at, v); }
  void U8(const char*, std::size_t at, uint8_t v) { image[at] = std::byte{v}; }
  void Bool(const char*, std::size_t at, bool v) {
    // Any byte but 0 reads as set: a set flag stays the byte it was.
    if ((image[at] != std::byte{0}) != v) image[at] = std::byte{v ? uint8_t{1} : uint8_t{0}};
  }
  void F64(const char*, std::size_t at, double v) { StoreF64(image.data() + at, v); }
  void Text(const char*, std::size_t at, std::size_t width, const std::string& s) {
    KeepOrPutSlotText(image.data() + at, width, s);
  }
  void History(const char*, std::size_t countAt, std::size_t slotsAt, int32_t count,
               const std::string (&entries)[kHistorySize]) {
    count = ClampCount(count);
    StoreI32(image.data() + countAt, count);
    // Slots past the count are never read; they stay as they are.
    for (int i = 0; i < count; ++i) {
      KeepOrPutSlotText(image.data() + slotsAt + i * kHistorySlot, kHistorySlot, entries[i]);
    }
  }
};

class Decoder {
 public:
  explicit Decoder(std::span<const std::byte> b) : bytes(b) {}
  std::span<const std::byte> bytes;

  // A field is taken only when all of it is in the data.
  const std::byte* At(std::size_t at, std::size_t size) const {
    return at + size <= bytes.size() ? bytes.data() + at : nullptr;
  }
  template <std::size_t N>
  void Raw(const char*, std::size_t at, std::array<char, N>& a) {
    if (const std::byte* p = At(at, N)) {
      std::copy_n(reinterpret_cast<const char*>(p), N, a.data());
      a[N - 1] = '\0';
    }
  }
  void I32(const char*, std::size_t at, int32_t& v) {
    if (const std::byte* p = At(at, 4)) v = LoadI32(p);
  }
  void U8(const char*, std::size_t at, uint8_t& v) {
    if (const std::byte* p = At(at, 1)) v = std::to_integer<uint8_t>(*p);
  }
  void Bool(const char*, std::size_t at, bool& v) {
    if (const std::byte* p = At(at, 1)) v = *p != std::byte{0};
  }
  void F64(const char*, std::size_t at, double& v) {
    if (const std::byte* p = At(at, 8)) v = LoadF64(p);
  }
  void Text(const char*, std::size_t at, std::size_t width, std::string& s) {
    if (const std::byte* p = At(at, width)) s = SlotText(p, width);
  }
  void History(const char*, std::size_t countAt, std::size_t slotsAt, int32_t& count,
               std::string (&entries)[kHistorySize]) {
    const std::byte* slots = At(slotsAt, kHistorySize * kHistorySlot);
    if (!slots || !At(countAt, 4)) return;
    count = ClampCount(LoadI32(bytes.data() + countAt));
    for (int i = 0; i < kHistorySize; ++i) {
      entries[i] = i < count ? SlotText(slots + i * kHistorySlot, kHistorySlot) : std::string();
    }
  }
};

class Describer {
 public:
  std::vector<std::pair<std::string, std::string>> lines;

  template <std::size_t N>
  void Raw(const char* name, std::size_t, const std::array<char, N>& a) {
    std::size_t n = 0;
    while (n + 1 < N && a[n] != '\0') ++n;
    Add(name, Cp1251ToUtf8(std::string_view(a.data(), n)));
  }
  void I32(const char* name, std::size_t, int32_t v) { Add(name, std::to_string(v)); }
  void U8(const char* name, std::size_t, uint8_t v) { Add(name, std::to_string(v)); }
  void Bool(const char* name, std::size_t, bool v) { Add(name, v ? "1" : "0"); }
  void F64(const char* name, std::size_t, double v) { Add(name, FormatGeneral(v)); }
  void Text(const char* name, std::size_t, std::size_t, const std::string& s) { Add(name, s); }
  void History(const char* name, std::size_t, std::size_t, int32_t count,
               const std::string (&entries)[kHistorySize]) {
    Add(std::string(name) + "Count", std::to_string(count));
    for (int i = 0; i < ClampCount(count); ++i) {
      Add(std::string(name) + "[" + std::to_string(i) + "]", entries[i]);
    }
  }

 private:
  void Add(std::string name, std::string value) {
    lines.emplace_back(std::move(name), std::move(value));
  }
};

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

std::string AbsoluteFolder(const std::string& dir) {
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(PathFromUtf8(dir), ec);
  if (ec) return WithoutTrailingSeparator(dir);
  return WithoutTrailingSeparator(Utf8FromPath(absolute.lexically_normal()));
}

}  // namespace

// Windows folders are one folder whatever the letter case.
bool SameFolder(const std::string& a, const std::string& b) {
#ifdef _WIN32
  return FoldedCp1251(a) == FoldedCp1251(b);
#else
  return a == b;
#endif
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && IsSeparator(folder.back())) {
#ifdef _WIN32
    if (folder.size() == 3 && folder[1] == ':') break;  // "C:\" is a root
#endif
    folder.pop_back();
  }
  return folder;
}

FolderChoice ChooseFolder(std::string (&history)[kHistorySize], int32_t& count,
                          std::string_view folder) {
  const std::string chosen = WithoutTrailingSeparator(std::string(folder));
  if (chosen.empty()) return FolderChoice::kEmpty;
  if (!IsCp1251Representable(chosen)) return FolderChoice::kUnrepresentable;
  if (Cp1251Length(chosen) > kHistoryPathMax) return FolderChoice::kTooLong;
  std::vector<std::string> items(history, history + ClampCount(count));
  std::erase_if(items, [&](const std::string& item) { return SameFolder(item, chosen); });
  items.insert(items.begin(), chosen);
  if (items.size() > static_cast<std::size_t>(kHistorySize)) items.resize(kHistorySize);
  for (int i = 0; i < kHistorySize; ++i) {
    history[i] = i < static_cast<int>(items.size()) ? std::move(items[i]) : std::string();
  }
  count = static_cast<int32_t>(items.size());
  return FolderChoice::kStored;
}

std::array<std::byte, kSettingsSize> EncodeSettings(const TGLOB& g) {
  Encoder e(g.FileImage);
  VisitStored(g, e);
  return e.image;
}

SettingsDecode DecodeSettings(std::span<const std::byte> bytes, TGLOB& g) {
  if (bytes.size() < 12 || LoadI32(bytes.data() + 4) != 4 || LoadI32(bytes.data() + 8) != 2) {
    return SettingsDecode::kRejected;
  }
  if (bytes.size() > kSettingsSize) bytes = bytes.first(kSettingsSize);
  g.FileImage.fill(std::byte{0});
  std::copy(bytes.begin(), bytes.end(), g.FileImage.begin());
  Decoder d(bytes);
  VisitStored(g, d);
  if (g.Language != 0 && g.Language != 1) g.Language = 0;
  // The sampling timer runs at this interval: it must be a real duration.
  if (!std::isfinite(g.SampleInterval) || g.SampleInterval <= 0) g.SampleInterval = 5.0;
  return bytes.size() == kSettingsSize ? SettingsDecode::kAccepted : SettingsDecode::kAcceptedShort;
}

std::vector<std::pair<std::string, std::string>> DescribeSettings(const TGLOB& g) {
  Describer d;
  VisitStored(g, d);
  return std::move(d.lines);
}

TGLOB::TGLOB(NoFile, const std::string& folder) : defaultDestination_(AbsoluteFolder(folder)) {
  // A folder that no slot can hold leaves the history empty rather than cut.
  DirHistoryCount = 0;
  OpenHistoryCount = 0;
  ChooseFolder(DirHistory, DirHistoryCount, folder);
  ChooseFolder(OpenHistory, OpenHistoryCount, folder);
}

TGLOB::TGLOB(const std::string& configDir) : TGLOB(configDir, BuildLayout()) {}

TGLOB::TGLOB(const std::string& configDir, PathLayout layout)
    : TGLOB(configDir, DefaultDestinationFolder(layout, configDir), false) {}

TGLOB::TGLOB(Inspection, const std::string& configDir)
    : TGLOB(configDir, DefaultDestinationFolder(configDir), true) {}

TGLOB::TGLOB(const std::string& configDir, const std::string& destination, bool inspection)
    : TGLOB(NoFile{}, AbsoluteFolder(destination)) {
  ConfigPath = JoinPath(configDir, kConfigFileName);
  PresetPath = JoinPath(configDir, kPresetFileName);
  leaveExistingFile_ = inspection;
  if (!inspection) Load();
}

TGLOB::TGLOB() : TGLOB(ConfigDir()) {}

TGLOB::~TGLOB() { Save(); }

TGLOB::LoadResult TGLOB::Load() {
  if (ConfigPath.empty()) return LoadResult::kCreated;
  if (!PathExists(ConfigPath)) {
    // A first run also makes the default destination (an installed
    // program's VEXA folder in the documents), so that the file manager, the
    // folder chooser and the open window find it before the first recording.
    if (Save()) MakeFolders(defaultDestination_);
    return LoadResult::kCreated;
  }
  std::vector<std::byte> bytes;
  std::string error;
  if (!ReadFileBytes(ConfigPath, kSettingsSize, bytes, &error)) {
    // Permissions, a failing disk, a folder of that name: the file may be
    // sound once that is put right, so it is not replaced by the defaults.
    leaveExistingFile_ = true;
    LoadProblem = {Own::kSettingsUnreadable, {ConfigPath, error}};
    return LoadResult::kUnreadable;
  }
  if (DecodeSettings(bytes, *this) == SettingsDecode::kRejected) {
    if (leaveExistingFile_) return LoadResult::kRejected;
    Save();
    return LoadResult::kReplaced;
  }
  return LoadResult::kRead;
}

bool TGLOB::Save() {
  if (ConfigPath.empty()) return false;
  if (leaveExistingFile_ && PathExists(ConfigPath)) return false;
  const auto image = EncodeSettings(*this);
  if (!WriteFileAtomic(ConfigPath, image).ok) return false;
  FileImage = image;
  return true;
}

std::string TGLOB::DestinationFolder() const {
  if (DirHistoryCount > 0 && !DirHistory[0].empty()) return DirHistory[0];
  return defaultDestination_;
}

TGLOB& GLOB() {
  static TGLOB settings;
  return settings;
}

}  // namespace vexa
