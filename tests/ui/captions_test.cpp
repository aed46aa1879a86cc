// Every text of the message table a window shows, in both languages, after
// the operator switches the language at run time: compared with the
// independent transcription in tests/data/message_table.txt.
#include <QAbstractButton>
#include <QGroupBox>
#include <QRadioButton>
#include <cstring>

#include "core/message_table_file.h"
#include "ui/f_dialog.h"
#include "ui/f_getdir.h"
#include "ui/f_mesage.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using testing::ProgramFixture;

enum class Where { kPanel, kMonitor, kMessages, kMarks };
enum class What { kText, kTitle, kTab, kToolTip };

struct Expected {
  Where window;
  const char* control;  // "" for the window itself; the page for a tab
  What what;
  const char* array;
  int number;
};

// Which control shows which entry: the receivers of the message table.
const Expected kCaptions[] = {
    {Where::kPanel, "", What::kTitle, "Captions", 17},
    {Where::kPanel, "TabMonitor", What::kTab, "Captions", 11},
    {Where::kPanel, "TabPreset", What::kTab, "Captions", 12},
    {Where::kPanel, "TabEnviroment", What::kTab, "Captions", 13},
    {Where::kPanel, "TabAiro", What::kTab, "Captions", 14},
    {Where::kPanel, "TabAbout", What::kTab, "Captions", 15},
    {Where::kPanel, "TabExit", What::kTab, "Captions", 16},
    {Where::kPanel, "PanHeader", What::kText, "Captions", 44},
    {Where::kPanel, "cbLegend", What::kText, "Captions", 45},
    {Where::kPanel, "cbMARKS", What::kText, "Captions", 63},
    {Where::kPanel, "cbAbsTimeScale", What::kText, "Captions", 61},
    {Where::kPanel, "cb3D", What::kText, "Captions", 43},
    {Where::kPanel, "cbRotate", What::kText, "Captions", 42},
    {Where::kPanel, "cbAutoScale", What::kText, "Captions", 56},
    {Where::kPanel, "cbScrool", What::kText, "Captions", 64},
    {Where::kPanel, "cbGRID", What::kText, "Captions", 65},
    {Where::kPanel, "cbONEAXES", What::kText, "Captions", 66},
    {Where::kPanel, "cbAUTO", What::kText, "Captions", 67},
    {Where::kPanel, "cbUNDOAUTO", What::kText, "Captions", 68},
    {Where::kPanel, "cbAXTITLE", What::kText, "Captions", 69},
    {Where::kPanel, "lCurTime", What::kText, "Captions", 46},
    {Where::kPanel, "lRecTime", What::kText, "Captions", 47},
    {Where::kPanel, "lPostfix", What::kText, "Captions", 53},
    {Where::kPanel, "lDESCR", What::kText, "Captions", 54},
    {Where::kPanel, "lInterval", What::kText, "Captions", 49},
    {Where::kPanel, "lDestDir", What::kText, "Captions", 50},
    {Where::kPanel, "lEXP", What::kText, "Captions", 0},
    {Where::kPanel, "lPRESET", What::kText, "Captions", 12},
    {Where::kPanel, "pCOMFLOWN", What::kText, "Captions", 2},
    {Where::kPanel, "pCOMAIRO", What::kText, "Captions", 2},
    {Where::kPanel, "lNAME", What::kText, "Captions", 3},
    {Where::kPanel, "lDESCRIPT", What::kText, "Captions", 4},
    {Where::kPanel, "lATM", What::kText, "Captions", 5},
    {Where::kPanel, "lAIR", What::kText, "Captions", 6},
    {Where::kPanel, "lMASS", What::kText, "Captions", 7},
    {Where::kPanel, "lHUMID", What::kText, "Captions", 8},
    {Where::kPanel, "bADDPRESET", What::kText, "Captions", 9},
    {Where::kPanel, "bDELPRESET", What::kText, "Captions", 10},
    {Where::kPanel, "bSTART", What::kToolTip, "Hints", 0},
    {Where::kPanel, "bSTOP", What::kToolTip, "Hints", 1},
    {Where::kPanel, "bBMP", What::kToolTip, "Hints", 2},
    {Where::kPanel, "bOpen", What::kToolTip, "Hints", 4},
    {Where::kPanel, "bPrint", What::kToolTip, "Hints", 5},
    {Where::kPanel, "bMARK", What::kToolTip, "Hints", 6},
    {Where::kPanel, "lExitMesage", What::kText, "Messages", 5},
    {Where::kPanel, "bYes", What::kText, "Captions", 40},
    {Where::kPanel, "bNo", What::kText, "Captions", 41},
    {Where::kMonitor, "", What::kTitle, "Captions", 18},
    {Where::kMessages, "", What::kTitle, "Captions", 20},
    {Where::kMarks, "", What::kTitle, "Captions", 19},
    {Where::kMarks, "lPROMPT", What::kText, "Captions", 62},
};

// The shortcut each speed button's tool tip ends with.
const std::pair<const char*, const char*> kShortcuts[] = {
    {"bSTART", " (F5)"},    {"bSTOP", " (Shift+F5)"}, {"bBMP", " (Ctrl+B)"},
    {"bOpen", " (Ctrl+O)"}, {"bPrint", " (Ctrl+P)"},  {"bMARK", " (Ctrl+M)"}};

class Captions : public ProgramFixture {
 protected:
  QWidget* Window(Where w) {
    switch (w) {
      case Where::kPanel:
        return ui::F_CONTROL;
      case Where::kMonitor:
        return ui::F_MONITOR;
      case Where::kMessages:
        return ui::F_MESAGE;
      case Where::kMarks:
        return ui::F_DIALOG;
    }
    return nullptr;
  }

  QString Shown(const Expected& e) {
    QWidget* window = Window(e.window);
    if (e.what == What::kTitle) return window->windowTitle();
    if (e.what == What::kTab) return Pages().tabText(Pages().indexOf(&Control(window, e.control)));
    QWidget& c = Control(window, e.control);
    if (e.what == What::kToolTip) return c.toolTip();
    if (auto* label = qobject_cast<QLabel*>(&c)) return label->text();
    return Control<QAbstractButton>(window, e.control).text();
  }

  void ExpectEveryCaptionIn(int language) {
    const auto table = testing::ReadTableFile();
    for (const Expected& e : kCaptions) {
      std::string want = table.at(e.array).at(e.number).In(language);
      QString got = Shown(e);
      if (e.what == What::kToolTip) {
        for (const auto& [button, keys] : kShortcuts) {
          if (std::string(button) != e.control) continue;
          EXPECT_TRUE(got.endsWith(QString::fromLatin1(keys)))
              << e.control << ": " << got.toStdString();
          got.chop(static_cast<int>(std::strlen(keys)));
        }
      }
      EXPECT_EQ(got.toStdString(), want)
          << e.control << " " << e.array << " " << e.number << " language " << language;
    }
  }

  void ChooseLanguage(int language) {
    Control<QRadioButton>(ui::F_CONTROL, language == 1 ? "rLANGUAGE1" : "rLANGUAGE0").click();
  }
};

TEST_F(Captions, EveryWindowFollowsARunTimeSwitchOfTheLanguageBothWays) {
  ExpectEveryCaptionIn(0);
  ChooseLanguage(1);
  EXPECT_EQ(settings.Language, 1);
  EXPECT_EQ(settings.AppliedLanguage, 1);
  ExpectEveryCaptionIn(1);
  ChooseLanguage(0);
  ExpectEveryCaptionIn(0);
}

TEST_F(Captions, ComposedTitlesAndShownMessagesFollowTheLanguage) {
  ChooseLanguage(1);
  ui::F_MONITOR->SetTitle(55, "/data/a.vxa");
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "Загружен файл: \"/data/a.vxa\"");
  ChooseLanguage(0);
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "Loaded file: \"/data/a.vxa\"");

  ChooseLanguage(1);
  ui::F_MESAGE->ShowMesage(8);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title.toStdString(), "VEXA: Сообщения");
  EXPECT_EQ(shown[0].text.toStdString(),
            "Изменения в настройках Default невозможны.\nДобавьте новую настройку.");
  settings.MessageText = "";
  ui::F_MESAGE->ShowMesage(0);  // message 0 shows MessageText, also an empty one
  EXPECT_EQ(shown.at(1).text.toStdString(), "");
}

TEST_F(Captions, FixedTextsStayTheSameInBothLanguages) {
  ChooseLanguage(1);
  EXPECT_EQ(Control<QGroupBox>(ui::F_CONTROL, "rLANGUAGE").title().toStdString(),
            "Language /Язык/");
  EXPECT_EQ(Control<QRadioButton>(ui::F_CONTROL, "rLANGUAGE0").text().toStdString(),
            "English  / Английский /");
  EXPECT_EQ(Control<QRadioButton>(ui::F_CONTROL, "rLANGUAGE1").text().toStdString(),
            "Русский  / Russian /");
  EXPECT_EQ(ui::F_GetDir->windowTitle().toStdString(), "F_GetDir");
  EXPECT_EQ(Control<QLabel>(ui::F_GetDir, "lGetDir").text().toStdString(), "Выберите каталог");
  EXPECT_EQ(Control<QLabel>(ui::F_CONTROL, "lVer").text().toStdString(), "1.1.0.135");
}

}  // namespace
}  // namespace vexa
