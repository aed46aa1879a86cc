// The question before an interrupted recording opens (its recorder was
// killed or lost its power, so its header still holds the placeholders):
// complete it now? Completing is the core's (recording/interrupted.h, the
// same as vexa-rec repair); the file opens afterwards either way, completed
// or as it stands.
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <memory>

#include "core/own_texts.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/interrupted.h"
#include "recording/record_file.h"
#include "recording/record_format.h"
#include "recording/record_header.h"
#include "ui/f_mesage.h"
#include "ui/modal.h"
#include "ui/windows.h"

namespace vexa::ui {

namespace {

QString OwnQ(Own id, int language, const std::vector<std::string>& args = {}) {
  return QString::fromStdString(FormatOwn(id, language, args));
}

// The rows the question names, counted as the list counts them.
std::string RowsText(const std::string& path, const TRecordingHeader& h) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(OpenFile(path, "rb"), &std::fclose);
  if (!f) return "?";
  const ReadAtFunction read = FileReadAt(f.get());
#ifdef _WIN32
  const int64_t size = _fseeki64(f.get(), 0, SEEK_END) == 0 ? _ftelli64(f.get()) : -1;
#else
  const int64_t size = fseeko(f.get(), 0, SEEK_END) == 0 ? static_cast<int64_t>(ftello(f.get())) : -1;
#endif
  TRowCount count;
  if (size < h.dataTableOffset ||
      !CountRowsBounded(read, h.dataTableOffset, size, std::min(h.nameCount, kMaxColumnNames) - 1, count))
    return "?";
  return (count.estimated ? "\u2248" : "") + std::to_string(count.rows);
}

}  // namespace

void OfferCompletion(const std::string& path) {
  auto header = std::make_unique<TRecordingHeader>();
  if (ReadRecordingHeader(path, *header) != 0 || !IsInterrupted(*header)) return;
  // Another program records it now: it opens as it stands, nothing to ask.
  if (TRecordFile::InUse(path)) return;
  const int lang = Channel && Channel->Settings ? Channel->Settings->AppliedLanguage : kEnglish;
  QMessageBox box(QMessageBox::Question, QStringLiteral("VEXA"),
                  OwnQ(Own::kInterruptedQuestion, lang, {path, RowsText(path, *header)}),
                  QMessageBox::Yes | QMessageBox::No);
  box.setObjectName(QStringLiteral("InterruptedQuestion"));
  box.button(QMessageBox::Yes)->setText(OwnQ(Own::kInterruptedComplete, lang));
  box.button(QMessageBox::No)->setText(OwnQ(Own::kInterruptedAsItIs, lang));
  box.setDefaultButton(QMessageBox::Yes);
  if (RunModal(box) != QMessageBox::Yes) return;
  const TCompletion done = CompleteInterruptedRecording(path);
  // A completion refused or failed: said, and the file opens as it stands.
  if (!done.ok && F_MESAGE) F_MESAGE->ShowText(done.Text(lang));
}

}  // namespace vexa::ui
