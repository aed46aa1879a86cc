// Operator texts of this program's own additions, in English (index 0) and
// Russian (index 1), UTF-8: what the original message table never had
// (reasons for a refused interval, the link's health, the print window's
// PDF entry...). The message table stays as operators have always seen it;
// every new text goes here, so that both languages are always present (a
// test checks every entry). Looked up with the same language index as the
// message table.
#pragma once

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

  kCount
};

inline constexpr int kOwnTextCount = static_cast<int>(Own::kCount);
extern const char* const OwnTexts[kOwnTextCount][2];

inline const char* OwnText(Own id, int language) { return Text(OwnTexts, static_cast<int>(id), language); }

}  // namespace vexa
