// Operator texts of this program's own additions, in English (index 0) and
// Russian (index 1), UTF-8: what the original message table never had
// (reasons for a refused interval, the link's health, the print window's
// PDF entry...). The message table stays as operators have always seen it;
// every new text goes here, so that both languages are always present (a
// test checks every entry). Looked up with the same language index as the
// message table.
#pragma once

#include <string>
#include <vector>

#include "core/messages.h"

namespace vexa {

// Sections by the part of the program that shows the text; keep each
// section's ids in the order of its entries in own_texts.cpp.
enum class Own : int {
  // The recording session: start refusals, marks, roll-over.
  kIntervalNotNumber,
  kIntervalTooShort,
  kIntervalTooLong,
  kIntervalTextTooLong,
  kPostfixTooLong,
  kPostfixBadChar,
  kMarkPending,
  kMarkTooLong,
  kNoSession,
  kRolledOver,

  // The control panel: the link's health, folder refusals.
  kLinkIdle,
  kLinkAlive,
  kLinkSilent,
  kLinkFrames,
  kCountFrames,
  kCountSkipped,
  kCountSilent,
  kCountReopens,
  kFolderTooLong,
  kFolderNotCp1251,
  kFolderEmpty,

  // The recording windows and the Setup page.
  kPdfFile,          // the print window's last printer entry
  kPdfDialogTitle,   // the question for the PDF file's name
  kCannotPrint,      // followed by the printer's name
  kPresetsFull,      // "Add" on a full preset list
  kNotANumber,       // followed by the field's text
  kNoSerialDevices,  // the port chooser on a machine without any
  kChooseDevice,     // the port chooser's tool tip

  // What COM n stands for (the Setup page's port line).
  kPortFromVariable,
  kPortFromFile,
  kPortSystemDefault,
  kNoSuchPort,

  // Why a recording did not open (after message 2 and the path).
  kOpenCannotOpen,
  kOpenNewerVersion,  // followed by the file's version, then kOpenNewerVersionEnd
  kOpenNewerVersionEnd,
  kOpenNotRecording,
  kOpenBadValue,
  kOpenNoDataTable,
  kOpenReadError,

  // Exporting a recording (the open window's Export, vexa-rec export).
  kExportButton,         // the open window's button
  kExportTitle,          // the file dialog's title
  kExportEdfFilter,      // the dialog's file types
  kExportCsvFilter,
  kExportIsRecording,    // after the output's path
  kExportNamesRecording, // after the output's path, followed by the extension
  kExportReplace,        // after the output's path
  kExportReplaceButton,
  kExportFailed,         // followed by the reason
  kExportNoEdf,
  kEdfNoChannel,
  kEdfNoInterval,
  kEdfIntervalTooLong,   // followed by the interval
  kEdfStartOutOfRange,   // followed by the start
  kEdfValueTooWide,      // followed by the channel's title
  kEdfTooManyMarks,
  // Windows and dialogs: the splash and the About page; what could not be
  // read at start; files that could not be written, the ports file, the
  // recording file. Texts with %1, %2... are composed by FormatOwn.
  kSplashSubtitle,
  kSplashVersion,       // followed by the version
  kAboutProduct,
  kAboutMaker,
  kAboutFiles,
  kSettingsUnreadable,  // %1 the file, %2 the system's reason
  kPresetFileProblem,   // %1 the file, %2 one of kPreset..., %3 presets read, %4 the copy
  kPresetCannotRead,    // %1 the system's reason
  kPresetTooLarge,
  kPresetNotWritable,
  kPresetShortHead,
  kPresetTooMany,       // %1 announced, %2 the most the list holds
  kPresetBadRecord,     // %1 the record's number
  kPresetNegativeCount, // %1 announced
  kPresetTextsCut,
  kPresetTrailingBytes,
  kFileCreateTemp,      // %1 the file, %2 the system's reason (here and below)
  kFileWrite,
  kFileClose,
  kFileReplace,
  kFileMoveExists,      // %1 from, %2 to
  kFileMove,            // %1 from, %2 to, %3 the reason
  kFileDelete,
  kFileCreateFolder,
  kPortsUnreadable,     // %1 the ports file
  kPortsNotAPort,       // %1 the ports file, %2 the port number
  kPortsNoDevice,
  kPortsDeviceOneLine,
  kPortsTooLarge,       // %1 the ports file, %2 the most it may hold in KiB
  kImageNoSize,         // %1 the picture's file
  kImageNotEncoded,
  kImageNoChart,
  kPdfNotDrawn,         // %1 the PDF file
  kRecordCannotCreate,  // %1 the system's reason (here and below)
  kRecordCannotWrite,
  kRecordCannotSync,
  kRecordCannotClose,
  kRecordNotOpen,
  kRecordNegativePosition,
  kRecordEndNotCut,     // after one of the above
  // A second desktop program on the same settings folder; a damaged preset
  // file that vexa-rec record reads and leaves alone.
  kAlreadyRunning,      // %1 the settings folder
  kPresetFileLeftAlone, // %1 the file, %2 one of kPreset..., %3 presets read

  // Interrupted recordings: the open window's list, completing one (the
  // open window's question, vexa-rec repair), the recording file's reads.
  kRecordCannotOpen,    // %1 the system's reason (here and the next)
  kRecordCannotRead,
  kRecordBusy,
  kScanInterrupted,     // the list's Stop Record column
  kInterruptedQuestion, // %1 the file, %2 the whole rows found
  kInterruptedComplete, // the question's buttons
  kInterruptedAsItIs,
  kCompleted,           // %1 the file, %2 rows, %3 the stop time
  kCompletedTornCut,    // after kCompleted: %1 the bytes cut off
  kCompletedLineEnd,    // after kCompleted
  kCompleteFailed,      // %1 the file, %2 one of the reasons below
  kCompleteNotInterrupted,
  kCompleteNotRecording,
  kCompleteLayout,
  kCompleteTooManyRows, // %1 the rows, %2 the most the slot holds
  kCompleteFile,        // %1 what the recording file said
  kScanBeingRecorded,   // the list's Stop Record column

  kCount
};

inline constexpr int kOwnTextCount = static_cast<int>(Own::kCount);
extern const char* const OwnTexts[kOwnTextCount][2];

inline const char* OwnText(Own id, int language) { return Text(OwnTexts, static_cast<int>(id), language); }

// Own text `id` in a language with %1 ... %9 replaced by args[0] ... args[8]
// (a placeholder without its argument reads ""; "%" otherwise stands).
std::string FormatOwn(Own id, int language, const std::vector<std::string>& args = {});

// An operator text kept as its id and arguments until it is shown, so that
// it reads in the language on screen then (the tools print it in English).
struct TOwnMessage {
  Own id = Own::kCount;  // kCount: no message
  std::vector<std::string> args;

  bool empty() const { return id == Own::kCount; }
  std::string Text(int language) const { return empty() ? std::string() : FormatOwn(id, language, args); }
};

}  // namespace vexa
