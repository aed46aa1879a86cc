// The session's pure parts: the interval the operator types, the STPD factor,
// the elapsed-time text, the display texts and the postfix check.
#include "recording/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/comma_locale.h"
#include "core/messages.h"

namespace vexa {
namespace {

TEST(SampleInterval, ReadsDecimalTextUnderAnyLocale) {
  // A Russian locale would read "0,5"; the panel's text always uses ".".
  {
    testing::CommaLocale comma;
    VEXA_REQUIRE_COMMA_LOCALE(comma);
    EXPECT_EQ(ParseSampleInterval("0.5", kEnglish), 0.5);
    EXPECT_EQ(ParseSampleInterval(" 5 ", kEnglish), 5.0);
    EXPECT_EQ(ParseSampleInterval("0.05", kEnglish), 0.05);
    EXPECT_FALSE(ParseSampleInterval("0,5", kEnglish));
  }
  EXPECT_FALSE(ParseSampleInterval("0,5", kEnglish));
}

TEST(SampleInterval, RefusesWhatWouldRecordNothingWithAClearMessage) {
  // Below 0.05 s the header's one decimal would read "0.0".
  for (const char* text : {"0", "-5", "0.0009", "1e-9", "-0", "0.001", "0.049", "0.0499999"}) {
    std::string error;
    EXPECT_FALSE(ParseSampleInterval(text, kEnglish, &error)) << text;
    EXPECT_NE(error.find("at least 0.05 s"), std::string::npos) << error;
    EXPECT_NE(error.find(std::string("\"") + text + "\""), std::string::npos) << error;
  }
  for (const char* text : {"", "abc", "5s", "nan", "inf", "1e999", "5 5"}) {
    std::string error;
    EXPECT_FALSE(ParseSampleInterval(text, kEnglish, &error)) << text;
    EXPECT_NE(error.find("not a number"), std::string::npos) << text << ": " << error;
  }
  std::string error;
  EXPECT_FALSE(ParseSampleInterval("3000000", kEnglish, &error));  // beyond an int of ms
  EXPECT_NE(error.find("at most"), std::string::npos);
  EXPECT_FALSE(ParseSampleInterval("0000000000000005", kEnglish, &error));  // 16 characters
  EXPECT_NE(error.find("15 characters"), std::string::npos);
  EXPECT_FALSE(ParseSampleInterval("abc", kRussian, &error));
  EXPECT_NE(error.find("не является числом"), std::string::npos);
}

TEST(SampleInterval, TimerTakesTheWholeMilliseconds) {
  EXPECT_EQ(TimerIntervalMs(5), 5000);
  EXPECT_EQ(TimerIntervalMs(0.5), 500);
  EXPECT_EQ(TimerIntervalMs(0.001), 1);
  EXPECT_EQ(TimerIntervalMs(0.0015), 1);
  EXPECT_EQ(TimerIntervalMs(0.0009), 0);
  EXPECT_EQ(TimerIntervalMs(kMaxIntervalSeconds), 2147483000);
  EXPECT_EQ(TimerIntervalMs(1e300), 2147483647);
  EXPECT_EQ(TimerIntervalMs(std::nan("")), 0);
}

TEST(Stpd, DefaultPresetAndGuards) {
  // 760 mm Hg, 20 °C, 75 %: p_H2O = 0.75 × 17.50 mm Hg.
  EXPECT_NEAR(SaturationPressureMmHg(20), 17.50, 0.01);
  EXPECT_NEAR(SaturationPressureMmHg(37), 47.04, 0.05);  // the physiological 47 mm Hg
  TPreset p;
  EXPECT_NEAR(StpdFactor(p), 0.91568, 1e-5);
  p.Humidity = 0;
  EXPECT_NEAR(StpdFactor(p), 273.15 / 293.15, 1e-12);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  auto with = [](double pressure, double temperature, double humidity) {
    TPreset q;
    q.AtmPressure = pressure;
    q.AirTemperature = temperature;
    q.Humidity = humidity;
    return StpdFactor(q);
  };
  EXPECT_EQ(with(0, 20, 75), 1.0);
  EXPECT_EQ(with(-760, 20, 75), 1.0);
  EXPECT_EQ(with(nan, 20, 75), 1.0);
  EXPECT_EQ(with(inf, 20, 75), 1.0);
  EXPECT_EQ(with(760, -273.15, 75), 1.0);
  EXPECT_DOUBLE_EQ(with(760, -243.04, 75), 273.15 / (273.15 - 243.04));  // no vapour, no NaN
  EXPECT_EQ(with(760, 20, 101), 1.0);
  EXPECT_EQ(with(760, 20, -1), 1.0);
  EXPECT_EQ(with(760, 150, 100), 1.0);  // vapour above the air pressure
  EXPECT_EQ(with(10, 20, 100), 1.0);
}

TEST(Elapsed, HoursCountWholeDays) {
  const double second = 1.0 / 86400;
  EXPECT_EQ(ElapsedOf(0).Text, "[0:00:00]");
  EXPECT_EQ(ElapsedOf(59 * second).Text, "[0:00:59]");
  const TElapsed e = ElapsedOf((26 * 3600 + 5 * 60 + 9) * second);
  EXPECT_EQ(e.Text, "[26:05:09]");
  EXPECT_EQ(e.Hours, 26);
  EXPECT_EQ(e.Minutes, 5);
  EXPECT_EQ(e.Seconds, 9);
  EXPECT_EQ(ElapsedOf(1.0).Text, "[24:00:00]");
  EXPECT_EQ(ElapsedOf(-second).Text, "[0:00:00]");  // the clock went back
  EXPECT_EQ(ElapsedOf(std::nan("")).Text, "[0:00:00]");
}

TEST(Displays, ShowTheValueUnlessItIsZero) {
  EXPECT_EQ(DisplayText(3.0, 2), "3.00");
  EXPECT_EQ(DisplayText(7.45, 1), "7.5");  // 7.45 is a little above in binary
  EXPECT_EQ(DisplayText(-0.04, 1), "-0.0");
  EXPECT_FALSE(DisplayText(0.0, 2));
  EXPECT_FALSE(DisplayText(-0.0, 1));
}

TEST(Postfix, FitsAFileName) {
  EXPECT_EQ(PostfixProblem("", kEnglish), "");
  EXPECT_EQ(PostfixProblem("run1", kEnglish), "");
  EXPECT_EQ(PostfixProblem("опыт 1", kEnglish), "");  // Cyrillic is fine
  EXPECT_EQ(PostfixProblem("123456789012345", kEnglish), "");
  EXPECT_NE(PostfixProblem("1234567890123456", kEnglish).find("15 characters"), std::string::npos);
  EXPECT_EQ(PostfixProblem("ёёёёёёёёёёёёёёё", kEnglish), "");  // 15 characters, 30 bytes
  for (const char* bad : {"a/b", "..\\x", "c:", "a*", "a?", "\"q\"", "<", ">", "|", "a\tb",
                          "a\nb", "\xff", "日本"}) {
    EXPECT_NE(PostfixProblem(bad, kEnglish), "") << bad;
  }
}

}  // namespace
}  // namespace vexa
