// The Setup page: Add and Del with their messages and limits, the leaving
// rule, colours, edit colouring, locale numbers, texts Windows-1251 can
// hold, and the device behind the flow meter's COM port.
#include <QCheckBox>
#include <QColorDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include "link/port_names.h"
#include "link/test_env.h"
#include "recording/support/recording_fixture.h"
#include "ui/colours.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using Page = ui::TF_CONTROL::Page;

class SetupPage : public testing::ProgramFixture {
 protected:
  static QListWidget& List() { return Panel<QListWidget>("lbPSET"); }
  static QPushButton& Button(const char* name) { return Panel<QPushButton>(name); }
  static TPresets& Presets() { return *Channel()->Presets; }
  static QColor TextColour(const char* edit) {
    return Panel<QLineEdit>(edit).palette().color(QPalette::Text);
  }
  static void Add(const QString& name) {
    Type("pNAME", name);
    Button("bADDPRESET").click();
  }
  void SetUp() override {
    ProgramFixture::SetUp();
    Pages().setCurrentIndex(Page::kTabPreset);
  }
};

TEST_F(SetupPage, AddRefusesANameTheListHoldsWhateverItsCaseAndAddsAnyOther) {
  EXPECT_FALSE(Button("bADDPRESET").isEnabled());
  EXPECT_FALSE(Button("bDELPRESET").isEnabled());
  Type("pNAME", "default");
  EXPECT_TRUE(Button("bADDPRESET").isEnabled());
  EXPECT_EQ(TextColour("pNAME"), QColor(Qt::blue));
  Button("bADDPRESET").click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "The Name of expirements is exist.\nChange Name.");
  EXPECT_EQ(Presets().Count, 1);

  Add("Опыт");
  EXPECT_EQ(Presets().Count, 2);
  EXPECT_EQ(Presets().Current, 1);
  EXPECT_EQ(List().currentItem()->text(), "Опыт");
  EXPECT_FALSE(Button("bADDPRESET").isEnabled());
  EXPECT_TRUE(Button("bDELPRESET").isEnabled());
  EXPECT_EQ(TextColour("pNAME"), QColor(Qt::black));
  Add("ОПЫТ");  // Cyrillic letters compare without case too
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(Presets().Count, 2);
}

TEST_F(SetupPage, TwentyPresetsAreTheMostAndDelRemovesTheCurrentOneButNeverDefault) {
  for (int i = 1; i < kMaxPresets; ++i) Add(QStringLiteral("p%1").arg(i));
  ASSERT_EQ(Presets().Count, kMaxPresets);
  Add("one more");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(),
            "The list holds 20 presets, as many as it can.\nDelete one before adding another.");
  EXPECT_EQ(Presets().Count, kMaxPresets);

  List().setCurrentRow(5);  // the changed name is dropped
  EXPECT_EQ(Panel<QLineEdit>("pNAME").text(), "p5");
  Button("bDELPRESET").click();
  EXPECT_EQ(Presets().Count, kMaxPresets - 1);
  EXPECT_EQ(Presets().Current, 4);
  EXPECT_EQ(List().currentRow(), 4);
  EXPECT_EQ(Panel<QLineEdit>("pNAME").text(), "p4");
  List().setCurrentRow(0);
  EXPECT_FALSE(Button("bDELPRESET").isEnabled());
}

TEST_F(SetupPage, LeavingWithChangesStoresThemExceptOnDefaultAndNumbersThatDoNotConvert) {
  Type("pDESCR", "changed");
  Pages().setCurrentIndex(Page::kTabMonitor);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "No change Default.\nAdd new preset.");
  Add("run");  // the fields as they stand become the new preset
  EXPECT_EQ(Presets().Items[1]->Description, "changed");

  Type("pAPRESS", "high");
  Pages().setCurrentIndex(Page::kTabMonitor);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text.toStdString(), "Not a number: \"high\"");
  EXPECT_EQ(Presets().Items[1]->AtmPressure, 760.0);

  Type("pAPRESS", "745.5");
  Type("pNAME", "run 2");
  Panel<QCheckBox>("cbF").click();
  Pages().setCurrentIndex(Page::kTabAbout);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabAbout);
  const TPreset& p = *Presets().Items[1];
  EXPECT_EQ(p.Name, "run 2");
  EXPECT_EQ(p.AtmPressure, 745.5);
  EXPECT_TRUE(p.Visible[kF]);
  EXPECT_EQ(List().item(1)->text(), "run 2");
  EXPECT_EQ(TextColour("pNAME"), QColor(Qt::black));
  EXPECT_GE(Channel()->ChannelAxis[kF], 0) << "the chart is rebuilt with F";
  EXPECT_FALSE(Action("actPrint").isEnabled());
  EXPECT_FALSE(Action("actImage").isEnabled());
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(SetupPage, AColourDialogMarksAChangeEvenWhenCancelledAndItsColourIsStored) {
  Add("colours");
  answer = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  Button("bVColor").click();
  EXPECT_TRUE(Button("bADDPRESET").isEnabled());
  EXPECT_FALSE(Button("bDELPRESET").isEnabled());
  answer = [](QDialog& d) {
    static_cast<QColorDialog&>(d).setCurrentColor(QColor(0x12, 0x34, 0x56));
    return static_cast<int>(QDialog::Accepted);
  };
  Button("bVColor").click();
  Pages().setCurrentIndex(Page::kTabMonitor);
  EXPECT_EQ(Presets().Items[1]->Color[kV], 0x563412u);
  EXPECT_EQ(shown.back().window.toStdString(), "ColorDialog");
}

TEST_F(SetupPage, TextsTakeOnlyWhatWindows1251HoldsUpTo99Bytes) {
  auto& name = Panel<QLineEdit>("pNAME");
  name.clear();
  for (const QChar c : QStringLiteral("Ab日Вг")) {  // typed one by one
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(&name, &press);
  }
  EXPECT_EQ(name.text(), "AbВг");
  EXPECT_EQ(name.maxLength(), 99);
  EXPECT_EQ(Panel<QLineEdit>("pDESCR").maxLength(), 99);
}

TEST_F(SetupPage, ChoosingADeviceForTheFlowMetersPortWritesItsLineInVexaPorts) {
  test::ScopedEnv noOverride("VEXA_COM2", "");
  ui::F_CONTROL->FindDevices = [] {
    return std::vector<SerialDevice>{{"/dev/serial/by-id/usb-meter", "ttyUSB7"},
                                     {"/dev/ttyS0", ""}};
  };
  auto& menu = *Panel<QToolButton>("bCOMDEVICE").menu();
  emit menu.aboutToShow();
  ASSERT_EQ(menu.actions().size(), 2);
  EXPECT_EQ(menu.actions()[0]->text(), "/dev/serial/by-id/usb-meter  (ttyUSB7)");
  menu.actions()[0]->trigger();
  EXPECT_EQ(ComPortDevice(2, folder.path()), "/dev/serial/by-id/usb-meter");
  EXPECT_TRUE(Panel<QLabel>("lCOMDEVICE").text().startsWith("COM2 = /dev/serial/by-id/usb-meter"));
  ui::F_CONTROL->FindDevices = [] { return std::vector<SerialDevice>{}; };
  emit menu.aboutToShow();
  ASSERT_EQ(menu.actions().size(), 1);
  EXPECT_FALSE(menu.actions()[0]->isEnabled());
}

// The panels show exactly the colour chosen, not the style's lighter bevel
// over it; every pixel inside a margin for the focus frame.
TEST_F(SetupPage, TheColourPanelsShowExactlyTheirColours) {
  auto wrongPixels = [](const char* panel, const QColor& colour) {
    const QImage image = Button(panel).grab().toImage();
    int wrong = 0;
    for (int y = 3; y < image.height() - 3; ++y)
      for (int x = 3; x < image.width() - 3; ++x) wrong += image.pixelColor(x, y) != colour;
    return wrong;
  };
  const std::pair<const char*, int> panels[] = {{"bVColor", kV}, {"bFColor", kF}, {"bMColor", kM}};
  for (const auto& [panel, channel] : panels) {
    const QColor colour = ui::FromBgr(Presets().Items[0]->Color[channel]);
    EXPECT_EQ(wrongPixels(panel, colour), 0) << panel << " " << colour.name().toStdString();
  }
  EXPECT_EQ(Presets().Items[0]->Color[kV], 0x00FF00u);
  answer = [](QDialog& d) {
    static_cast<QColorDialog&>(d).setCurrentColor(QColor(0x12, 0x34, 0x56));
    return static_cast<int>(QDialog::Accepted);
  };
  Button("bMColor").click();
  EXPECT_EQ(wrongPixels("bMColor", QColor(0x12, 0x34, 0x56)), 0);
}

// A vexa.ports that is not one (over 64 KiB) is refused in the language on
// screen, naming the file.
TEST_F(SetupPage, AChosenDeviceThatCannotBeWrittenSaysWhyInTheLanguageOnScreen) {
  test::ScopedEnv noOverride("VEXA_COM2", "");
  const std::string ports = folder.File("vexa.ports");
  testing::WriteAll(ports, std::string(70 * 1024, '#'));
  ui::F_CONTROL->FindDevices = [] { return std::vector<SerialDevice>{{"/dev/ttyUSB7", ""}}; };
  auto& menu = *Panel<QToolButton>("bCOMDEVICE").menu();
  const std::pair<int, const char*> languages[] = {{kEnglish, "Error write file: "},
                                                   {kRussian, "Ошибка записи в файл "}};
  for (const auto& [language, prefix] : languages) {
    settings.Language = language;
    ui::F_CONTROL->ApplyLanguage();
    shown.clear();
    emit menu.aboutToShow();
    menu.actions()[0]->trigger();
    ASSERT_EQ(shown.size(), 1u);
    const std::string said = shown[0].text.toStdString();
    EXPECT_EQ(said.rfind(prefix, 0), 0u) << said;
    EXPECT_NE(said.find(ports), std::string::npos) << said;
    EXPECT_NE(said.find(language == kRussian ? "это не файл портов" : "not a ports file"),
              std::string::npos)
        << said;
  }
}

// Numbers are shown and read with the system's separator.
class SetupPageRussianLocale : public SetupPage {
 protected:
  void Prepare() override {
    previous_ = QLocale();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  }
  void TearDown() override {
    SetupPage::TearDown();
    QLocale::setDefault(previous_);
  }
  QLocale previous_;
};

TEST_F(SetupPageRussianLocale, NumbersTakeTheCommaBothWays) {
  EXPECT_EQ(Panel<QLineEdit>("pAPRESS").text(), "760");
  Type("pTENV", "24,5");
  Add("ru");
  EXPECT_EQ(Presets().Items[1]->AirTemperature, 24.5);
  EXPECT_EQ(Panel<QLineEdit>("pTENV").text(), "24,5");
  Type("pTENV", "1 000");  // no group separators: a typed one is refused
  Pages().setCurrentIndex(Page::kTabMonitor);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  EXPECT_EQ(Presets().Items[1]->AirTemperature, 24.5);
}

}  // namespace
}  // namespace vexa
