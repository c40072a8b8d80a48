#include "app/trace_limits.h"

#include <gtest/gtest.h>

#include "app/machine.h"
#include "support/temp_dir.h"
#include "util/ini_file.h"

using namespace vesk;

TEST(TraceLimits, WholeNumbersFromOneToTheMostAreTaken) {
  EXPECT_EQ(ParseTraceLines("1000"), 1000);
  EXPECT_EQ(ParseTraceLines(" 1 "), 1);
  EXPECT_EQ(ParseTraceLines("100000000"), kMaxTraceLines);
  for (const char* refused : {"", " ", "0", "-5", "+5", "1e6", "12.5", "1 000", "abc", "10x", "100000001",
                              "99999999999999999999", "0x10"})
    EXPECT_EQ(ParseTraceLines(refused), std::nullopt) << refused;
}

TEST(TraceLimits, MissingKeysGiveTheDefaultsSilently) {
  vesk::testing::TempDir dir;
  const TraceLimits none = ReadTraceLimits(dir.file("cfg.ini"));  // no file at all
  EXPECT_EQ(none.commandLines, 1'000'000);
  EXPECT_EQ(none.microLines, 10'000'000);
  EXPECT_EQ(none.note, "");
  ASSERT_TRUE(WriteIni(dir.file("cfg.ini"), "General", "MaxTraceLines", ""));
  EXPECT_EQ(ReadTraceLimits(dir.file("cfg.ini")).note, "");
}

TEST(TraceLimits, ValuesFromCfgIniReachBothTraces) {
  vesk::testing::TempDir dir;
  const std::string ini = dir.file("cfg.ini");
  ASSERT_TRUE(WriteIni(ini, "General", "MaxTraceLines", "1000"));
  ASSERT_TRUE(WriteIni(ini, "General", "MaxMicroTraceLines", "2500"));
  const TraceLimits limits = ReadTraceLimits(ini);
  EXPECT_EQ(limits.commandLines, 1000);
  EXPECT_EQ(limits.microLines, 2500);
  EXPECT_EQ(limits.note, "");
  Machine m;
  ApplyTraceLimits(limits, m);
  EXPECT_EQ(m.trace.LineLimit(), 1000);
  EXPECT_EQ(m.microTrace.LineLimit(), 2500);
}

TEST(TraceLimits, NonsenseFallsBackToTheDefaultAndTheNoteSaysWhich) {
  vesk::testing::TempDir dir;
  const std::string ini = dir.file("cfg.ini");
  ASSERT_TRUE(WriteIni(ini, "General", "MaxTraceLines", "много"));
  ASSERT_TRUE(WriteIni(ini, "General", "MaxMicroTraceLines", "5000"));
  TraceLimits limits = ReadTraceLimits(ini);
  EXPECT_EQ(limits.commandLines, 1'000'000);
  EXPECT_EQ(limits.microLines, 5000);
  EXPECT_EQ(limits.note, "В cfg.ini неверное значение MaxTraceLines=много: трасса команд хранит до 1000000 строк");

  ASSERT_TRUE(WriteIni(ini, "General", "MaxMicroTraceLines", "0"));
  limits = ReadTraceLimits(ini);
  EXPECT_EQ(limits.microLines, 10'000'000);
  EXPECT_EQ(limits.note,
            "В cfg.ini неверное значение MaxTraceLines=много: трасса команд хранит до 1000000 строк; "
            "В cfg.ini неверное значение MaxMicroTraceLines=0: трасса микрокоманд хранит до 10000000 строк");

  // A long value is cut in the note.
  ASSERT_TRUE(WriteIni(ini, "General", "MaxTraceLines", std::string(200, '9')));
  limits = ReadTraceLimits(ini);
  EXPECT_EQ(limits.commandLines, 1'000'000);
  EXPECT_NE(limits.note.find("MaxTraceLines=" + std::string(20, '9') + "…:"), std::string::npos) << limits.note;
}

TEST(TraceLimits, TheHistoryDepthOnlyRisesAndWithinItsMost) {
  vesk::testing::TempDir dir;
  const std::string ini = dir.file("cfg.ini");
  EXPECT_EQ(ReadTraceLimits(ini).historyDepth, History::kDefaultDepth);
  ASSERT_TRUE(WriteIni(ini, "General", "HistoryDepth", "250000"));
  TraceLimits limits = ReadTraceLimits(ini);
  EXPECT_EQ(limits.historyDepth, 250000);
  EXPECT_EQ(limits.note, "");
  Machine m;
  ApplyTraceLimits(limits, m);
  EXPECT_EQ(m.history.Depth(), 250000);
  EXPECT_EQ(ParseHistoryDepth("10000000"), kMaxHistoryDepth);
  // Lowering it, a depth past the most and nonsense are refused with a note.
  for (const char* refused : {"5000", "10000001", "99999999999999999999", "1e9", "-1"}) {
    ASSERT_TRUE(WriteIni(ini, "General", "HistoryDepth", refused));
    limits = ReadTraceLimits(ini);
    EXPECT_EQ(limits.historyDepth, History::kDefaultDepth) << refused;
    EXPECT_EQ(limits.note, std::string("В cfg.ini неверное значение HistoryDepth=") + refused +
                               ": история шагов назад хранит до 100000 микрокоманд")
        << refused;
  }
}
