// The framework's own texts in the language on screen: the buttons and
// labels of the standard dialogs (colour chooser, file dialog, error box)
// and the edit fields' context menus. Qt's Russian translation (Debian's
// qt6-translations-l10n; beside the program on Windows) is installed while
// Russian is applied.
#pragma once

namespace vexa::ui {

// True when the framework's texts are in that language afterwards (English
// always; Russian when the translation was found).
bool ApplyQtLanguage(int language);

}  // namespace vexa::ui
