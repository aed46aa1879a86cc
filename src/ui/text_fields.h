// Text fields whose texts end up in Windows-1251 files: characters without a
// Windows-1251 form are refused where they are typed, and lengths count
// characters as the files' slots count bytes.
#pragma once

#include <QLocale>
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

// Numbers in edit fields: the system's decimal separator, no group
// separators (a "1,000" would not read back under a comma locale).
QLocale FieldLocale();
// A number as a field shows it: general format, up to 15 significant
// digits, the system's separator ("0,5" under a Russian locale).
QString FieldNumber(double v);
// The system's decimal separator as one character ('.' where it is none).
char FieldSeparator();

// The line edit takes at most maxChars Windows-1251 characters.
void LimitLineEdit(QLineEdit& edit, int maxChars);
// A multi-line edit has no length limit of its own: typed or pasted text is
// cut to maxChars characters and characters without a Windows-1251 form are
// dropped, the cursor kept where it was.
void LimitPlainText(QPlainTextEdit& edit, int maxChars);

}  // namespace vexa::ui
