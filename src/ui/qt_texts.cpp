#include "ui/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/messages.h"

namespace vexa::ui {

namespace {

QTranslator* LoadRussian() {
  static QTranslator* translator = [] {
    auto* t = new QTranslator(QCoreApplication::instance());
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders) {
      if (t->load(QStringLiteral("qtbase_ru"), folder)) return t;
    }
    delete t;
    return static_cast<QTranslator*>(nullptr);
  }();
  return translator;
}

}  // namespace

bool ApplyQtLanguage(int language) {
  if (!QCoreApplication::instance()) return language != kRussian;
  if (language != kRussian) {
    if (QTranslator* t = LoadRussian()) QCoreApplication::removeTranslator(t);
    return true;
  }
  QTranslator* t = LoadRussian();
  return t && QCoreApplication::installTranslator(t);
}

}  // namespace vexa::ui
