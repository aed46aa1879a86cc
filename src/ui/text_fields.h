// Text fields whose texts end up in Windows-1251 files: characters without a
// Windows-1251 form are refused where they are typed, and lengths count
// characters as the files' slots count bytes.
#pragma once

#include <QValidator>

class QLineEdit;
class QPlainTextEdit;

namespace vexa::ui {

// Refuses text holding a character that Windows-1251 cannot write.
class TCp1251Validator : public QValidator {
 public:
  explicit TCp1251Validator(QObject* parent) : QValidator(parent) {}
  State validate(QString& input, int& pos) const override;
};

// The line edit takes at most maxChars Windows-1251 characters.
void LimitLineEdit(QLineEdit& edit, int maxChars);
// A multi-line edit has no length limit of its own: typed or pasted text is
// cut to maxChars characters and characters without a Windows-1251 form are
// dropped, the cursor kept where it was.
void LimitPlainText(QPlainTextEdit& edit, int maxChars);

}  // namespace vexa::ui
