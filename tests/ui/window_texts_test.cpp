// Texts the operator sees outside the message table: the splash's subtitle
// fits in either language, the About page's own lines, and the framework's
// own texts (the standard dialogs) follow the language.
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QRadioButton>
#include <filesystem>

#include "core/own_texts.h"
#include "ui/pictures.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using Page = ui::TF_CONTROL::Page;
using WindowTexts = testing::ProgramFixture;

TEST(Splash, TheSubtitleFitsItsRoomInBothLanguages) {
  for (const int language : {kEnglish, kRussian}) {
    const QString subtitle = QString::fromUtf8(OwnText(Own::kSplashSubtitle, language));
    QFont base;
    base.setPixelSize(18);
    const QFont font = ui::SplashSubtitleFont(base, subtitle, ui::kSplashSubtitleWidth);
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(subtitle), ui::kSplashSubtitleWidth)
        << subtitle.toStdString();
    EXPECT_GE(font.pixelSize(), 13) << "still readable";
  }
  // The picture is the language's: the subtitles differ.
  const QImage en = ui::SplashPicture("1.1.0.135", kEnglish).toImage();
  const QImage ru = ui::SplashPicture("1.1.0.135", kRussian).toImage();
  EXPECT_NE(en.copy(160, 105, 400, 36), ru.copy(160, 105, 400, 36));
}

// The framework's texts in the Russian interface: the colour chooser's
// buttons (the same translation gives the file dialog and the edit menus).
TEST_F(WindowTexts, TheFrameworksOwnTextsFollowTheLanguage) {
  if (!std::filesystem::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString() +
                               "/qtbase_ru.qm"))
    GTEST_SKIP() << "Qt's Russian translation is not installed (qt6-translations-l10n)";
  std::vector<QString> buttons;
  answer = [&](QDialog& d) {
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>()) buttons.push_back(b->text());
    return static_cast<int>(QDialog::Rejected);
  };
  // Some button of the window opened by `open` has a Russian caption.
  auto russianButtons = [&](const std::function<void()>& open) {
    buttons.clear();
    open();
    for (const QString& text : buttons) {
      for (const QChar c : text)
        if (c.script() == QChar::Script_Cyrillic) return true;
    }
    return false;
  };
  auto colours = [] { Panel<QPushButton>("bVColor").click(); };
  Pages().setCurrentIndex(Page::kTabPreset);
  EXPECT_FALSE(russianButtons(colours));
  Panel<QRadioButton>("rLANGUAGE1").click();
  EXPECT_TRUE(russianButtons(colours)) << "the colour chooser's Cancel";
  Panel<QRadioButton>("rLANGUAGE0").click();
  EXPECT_FALSE(russianButtons(colours));
}

TEST_F(WindowTexts, TheAboutPageSpeaksTheLanguage) {
  Panel<QRadioButton>("rLANGUAGE1").click();
  EXPECT_EQ(Panel<QLabel>("lPRODUCT").text().toStdString(),
            OwnText(Own::kAboutProduct, kRussian));
  EXPECT_EQ(Panel<QLabel>("lMAKER").text().toStdString(), OwnText(Own::kAboutMaker, kRussian));
  EXPECT_EQ(Panel<QLabel>("lWEB").text().toStdString(), OwnText(Own::kAboutFiles, kRussian));
}

}  // namespace
}  // namespace vexa
