// The operator's commands, one QAction each: its text and tool tip from the
// message table with the shortcut at the end, its shortcut, its enabled
// state. The control panel's speed buttons show these actions, so enabling
// an action enables its button and its key together. Each action holds one
// application-wide shortcut, so the keys work in every window of the
// program and are never ambiguous.
#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace vexa::ui {

class TCommands {
 public:
  explicit TCommands(QObject* owner);

  QAction* Start;  // F5; checkable: stays down while a recording runs
  QAction* Stop;   // Shift+F5
  QAction* Mark;   // Ctrl+M
  QAction* Open;   // Ctrl+O
  QAction* Print;  // Ctrl+P
  QAction* Image;  // Ctrl+B, the chart image
  QAction* Exit;   // Ctrl+Q, the Exit page

  // Texts and tool tips in a language.
  void ApplyLanguage(int language);
  // Makes the shortcuts work while the window is shown (an action's
  // shortcut needs a visible widget that holds it).
  void AddTo(QWidget& window) const;
};

}  // namespace vexa::ui
