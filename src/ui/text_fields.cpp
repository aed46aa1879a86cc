#include "ui/text_fields.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "core/cp1251.h"

namespace vexa::ui {

namespace {
bool Writable(const QString& text) { return IsCp1251Representable(text.toStdString()); }
}  // namespace

QValidator::State TCp1251Validator::validate(QString& input, int& /*pos*/) const {
  return Writable(input) ? Acceptable : Invalid;
}

QLocale FieldLocale() {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
  return locale;
}

QString FieldNumber(double v) { return FieldLocale().toString(v, 'g', 15); }

char FieldSeparator() {
  const QString point = FieldLocale().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

void LimitLineEdit(QLineEdit& edit, int maxChars) {
  edit.setMaxLength(maxChars);
  edit.setValidator(new TCp1251Validator(&edit));
}

void LimitPlainText(QPlainTextEdit& edit, int maxChars) {
  QObject::connect(&edit, &QPlainTextEdit::textChanged, &edit, [&edit, maxChars] {
    const QString text = edit.toPlainText();
    QString kept;
    for (const QChar c : text) {
      if (kept.size() < maxChars && Writable(QString(c))) kept += c;
    }
    if (kept == text) return;
    const int position = std::min(edit.textCursor().position(), static_cast<int>(kept.size()));
    edit.setPlainText(kept);
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(position);
    edit.setTextCursor(cursor);
  });
}

}  // namespace vexa::ui
