// The settings object and its configuration file (vexa.cfg).
//
// The stored part of TGLOB is a fixed 2856-byte little-endian image, written
// field by field at fixed offsets (never a struct dump): "CFG" and a zero,
// int32 4 and 2 (the only versions read), an 80-byte banner, the chart and
// print options, the sample interval, the language, the window geometry, two
// folder histories of ten 129-byte slots (a path of at most 128 bytes and
// its zero) and the mail fields, which are carried through unchanged.
// Texts in the file are Windows-1251; here they are UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/own_texts.h"

#include "core/paths.h"

namespace vexa {

inline constexpr std::size_t kSettingsSize = 2856;
inline constexpr int kHistorySize = 10;
inline constexpr std::size_t kHistorySlot = 129;
inline constexpr std::size_t kHistoryPathMax = kHistorySlot - 1;
inline constexpr std::size_t kMailTextSlot = 20;

inline constexpr const char* kConfigFileName = "vexa.cfg";
inline constexpr const char* kPresetFileName = "vexa.pset";

// "VEX ConfigFile.v2.0 Settings file of the recorder 2002" and zeros.
constexpr std::array<char, 80> DefaultBanner() {
  constexpr std::string_view text = "VEX ConfigFile.v2.0 Settings file of the recorder 2002";
  std::array<char, 80> banner{};
  for (std::size_t i = 0; i < text.size(); ++i) banner[i] = text[i];
  return banner;
}

class TGLOB {
 public:
  // --- session fields, never stored ---
  bool MarkPending = false;
  bool AutoScroll = false;
  bool OpenWindowReady = false;
  double SampleTime = 0;
  double StartTime = 0;
  std::string ElapsedText;
  std::string MessageText;
  int32_t AppliedLanguage = -1;  // -1: no language on screen yet
  std::string ConfigPath;
  std::string PresetPath;
  // For the operator, said once: vexa.cfg exists but could not be read, so
  // this run uses the defaults and leaves the file as it is (in the language
  // on screen when it is shown). Empty otherwise.
  TOwnMessage LoadProblem;
  // The file's bytes as read (zeros for a new file). Save rewrites only the
  // fields whose value differs from these bytes, so padding, text tails after
  // their terminator, history slots past the count and the mail fields stay
  // exactly as another program (or an older copy) left them.
  std::array<std::byte, kSettingsSize> FileImage{};

  // --- stored fields, in file order (offset in the comment) ---
  std::array<char, 4> Magic{'C', 'F', 'G', '\0'};  // 0; written, never checked
  int32_t FormatVersion = 4;                       // 4
  int32_t FormatRevision = 2;                      // 8
  std::array<char, 80> Banner = DefaultBanner();   // 12; written, never checked
  bool PrintColor = false;                         // 92
  bool PrintLandscape = true;                      // 93
  bool ShowAxisTitles = true;                      // 94
  bool PrintFileName = true;                       // 95
  bool PrintDescription = true;                    // 96
  bool PrintDate = true;                           // 97
  bool PrintSampleInterval = true;                 // 98
  int32_t PrinterIndex = -1;                       // 100; -1 the default printer
  bool ShowLegend = true;                          // 104
  bool ShowMarks = true;                           // 105
  bool AbsTimeScale = true;                        // 106
  bool Show3D = true;                              // 107
  bool Rotate = true;                              // 108
  bool AutoTimeScale = true;                       // 109
  bool AutoScrollAtStart = false;                  // 110
  bool ShowGrid = true;                            // 111
  bool OneAxes = false;                            // 112
  bool AllVertAuto = false;                        // 113
  bool UndoZoomAuto = false;                       // 114
  double SampleInterval = 5.0;                     // 120; seconds
  int32_t Language = 0;                            // 128; 0 English, 1 Russian
  int32_t MonitorState = 0;                        // 132; 0 normal, 1 minimised, 2 maximised
  int32_t MonitorTop = 0;                          // 136
  int32_t MonitorLeft = 0;                         // 140
  int32_t MonitorWidth = 700;                      // 144
  int32_t MonitorHeight = 545;                     // 148
  int32_t ControlState = 0;                        // 152
  int32_t ControlTop = 114;                        // 156
  int32_t ControlLeft = 342;                       // 160
  int32_t OpenTop = 140;                           // 164
  int32_t OpenLeft = 75;                           // 168
  int32_t OpenHeight = 350;                        // 172
  int32_t OpenWidth = 700;                         // 176
  int32_t DirHistoryCount = 1;                     // 180; 0..10
  std::string DirHistory[kHistorySize];            // 184; most recent first
  int32_t OpenHistoryCount = 1;                    // 1476; 0..10
  std::string OpenHistory[kHistorySize];           // 1480
  int32_t MailReserved1 = 0;                       // 2772
  uint8_t MailReserved2 = 0;                       // 2776
  int32_t Pop3Port = 110;                          // 2780
  int32_t SmtpPort = 25;                           // 2784
  std::string MailHost = "192.168.0.1";            // 2788, 20 bytes
  std::string MailLogin = "tulvar";                // 2808
  std::string MailPassword = "tulvar";             // 2828
  int32_t MailPollSeconds = 30;                    // 2848
  int32_t MailReserved3 = 0;                       // 2852

  // Settings kept in configDir (vexa.cfg, vexa.pset): sets the defaults, seeds
  // both histories with the default destination of this build's layout
  // (DefaultDestinationFolder: configDir itself in a development build), then
  // Load.
  explicit TGLOB(const std::string& configDir);
  // The same with the default destination of the given layout.
  TGLOB(const std::string& configDir, PathLayout layout);
  // The same in ConfigDir().
  TGLOB();
  // Defaults only, histories seeded with folder; bound to no file (Load and
  // Save do nothing). For work on file images and for tests.
  struct NoFile {};
  TGLOB(NoFile, const std::string& folder);
  // The settings of configDir for a command that only looks at them, before
  // its own Load (whose result it shows): a missing vexa.cfg is created as
  // the program would, but an existing one is never written (not replaced
  // for another version, not saved at the end).
  struct Inspection {};
  TGLOB(Inspection, const std::string& configDir);
  // Save, result ignored.
  ~TGLOB();
  TGLOB(const TGLOB&) = delete;
  TGLOB& operator=(const TGLOB&) = delete;

  enum class LoadResult {
    kRead,        // the file's settings are in force
    kCreated,     // there was no file: one with the current settings was written
    kReplaced,    // other versions: replaced by the current settings
    kRejected,    // other versions, left alone (an inspection)
    kUnreadable,  // exists but cannot be read: defaults, the file left alone
  };
  // Takes the file's settings when its versions are 4 and 2; writes the
  // current settings when there is no file (then also making the default
  // destination) or its versions are others. A
  // file that exists but cannot be read is never written (LoadProblem says so).
  LoadResult Load();
  // Writes the 2856 bytes through a temporary file. True on success. Never
  // overwrites a file that Load could not read, nor any in an inspection.
  bool Save();

  // Where recordings go: entry 0 of the destination history, or, while the
  // history is empty, the default destination, as a full path.
  std::string DestinationFolder() const;
  // The folder a new file's histories start with, as a full path. Writing a
  // new settings file creates it, and so does a recording about to be
  // written there while it is missing.
  const std::string& DefaultDestination() const { return defaultDestination_; }

 private:
  TGLOB(const std::string& configDir, const std::string& destination, bool inspection);
  std::string defaultDestination_;  // full path
  bool leaveExistingFile_ = false;  // an inspection, or a file Load could not read
};

// The one settings object of the program, created on first use from
// ConfigDir() and saved when the program ends normally (static destruction).
TGLOB& GLOB();

// The file image of the stored fields: g.FileImage with each field whose
// value differs from what those bytes hold written anew (a text slot also
// when it lacks its terminator).
std::array<std::byte, kSettingsSize> EncodeSettings(const TGLOB& g);

enum class SettingsDecode {
  kAccepted,       // all 2856 bytes taken
  kAcceptedShort,  // right versions, fewer bytes: whole fields read, the rest kept
  kRejected,       // fewer than 12 bytes or versions not 4 and 2: nothing changed
};
// Reads a file image into the stored fields of g. Only fields that lie wholly
// within bytes are taken; a history is taken as a whole (count and slots) or
// not at all. Texts end at the last byte of their slot at the latest; a count
// outside 0..10 is clamped; a language other than 0 or 1 becomes English; a
// sample interval that is not a positive finite number becomes 5 s. An
// accepted image (zero-padded to 2856 bytes) becomes g.FileImage.
SettingsDecode DecodeSettings(std::span<const std::byte> bytes, TGLOB& g);

// Every stored field as "Name" and value text, in file order, one pair per
// field and one per valid history entry ("DirHistory[0]").
std::vector<std::pair<std::string, std::string>> DescribeSettings(const TGLOB& g);

// The folder-history update shared by the control panel's destination list,
// the directory chooser and the open-recording window: the chosen folder
// becomes entry 0, an equal entry further down is removed, the 11th is
// dropped. Entries compare without regard to letter case on Windows, exactly
// elsewhere (where /data and /Data are two folders).
enum class FolderChoice {
  kStored,           // folder is entry 0
  kEmpty,            // no folder given; nothing changed
  kTooLong,          // more than 128 Windows-1251 bytes; nothing changed
  kUnrepresentable,  // a character without a Windows-1251 form; nothing changed
};
FolderChoice ChooseFolder(std::string (&history)[kHistorySize], int32_t& count,
                          std::string_view folder);

// Whether two history entries name one folder: letter case ignored on
// Windows (Latin and Cyrillic, in Windows-1251), exact elsewhere.
bool SameFolder(const std::string& a, const std::string& b);

// folder without trailing separators (a root keeps its own).
std::string WithoutTrailingSeparator(std::string folder);

}  // namespace vexa
