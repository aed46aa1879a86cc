#include "ui/commands.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include "core/messages.h"
#include "ui/pictures.h"

namespace vexa::ui {

namespace {

QAction* MakeAction(QObject* owner, const char* name, QKeySequence keys, const QIcon& icon = {}) {
  auto* action = new QAction(icon, QString(), owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(keys);
  action->setShortcutContext(Qt::ApplicationShortcut);
  return action;
}

}  // namespace

TCommands::TCommands(QObject* owner)
    : Start(MakeAction(owner, "actStart", QKeySequence(Qt::Key_F5), CommandIcon(TPicture::kStart))),
      Stop(MakeAction(owner, "actStop", QKeySequence(Qt::SHIFT | Qt::Key_F5),
                      CommandIcon(TPicture::kStop))),
      Mark(MakeAction(owner, "actMark", QKeySequence(Qt::CTRL | Qt::Key_M),
                      CommandIcon(TPicture::kMark))),
      Open(MakeAction(owner, "actOpen", QKeySequence(Qt::CTRL | Qt::Key_O),
                      CommandIcon(TPicture::kOpen))),
      Print(MakeAction(owner, "actPrint", QKeySequence(Qt::CTRL | Qt::Key_P),
                       CommandIcon(TPicture::kPrint))),
      Image(MakeAction(owner, "actImage", QKeySequence(Qt::CTRL | Qt::Key_B),
                       CommandIcon(TPicture::kImage))),
      Exit(MakeAction(owner, "actExit", QKeySequence(Qt::CTRL | Qt::Key_Q))) {
  Start->setCheckable(true);
}

void TCommands::ApplyLanguage(int language) {
  const std::pair<QAction*, int> hints[] = {{Start, 0}, {Stop, 1},  {Image, 2}, {Exit, 3},
                                            {Open, 4},  {Print, 5}, {Mark, 6}};
  for (const auto& [action, hint] : hints) {
    const QString text = QString::fromUtf8(HintText(hint, language));
    action->setText(text);
    action->setToolTip(text + QStringLiteral(" (") +
                       action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(")"));
  }
}

void TCommands::AddTo(QWidget& window) const {
  window.addActions({Start, Stop, Mark, Open, Print, Image, Exit});
}

}  // namespace vexa::ui
