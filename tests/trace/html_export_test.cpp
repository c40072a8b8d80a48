#include "trace/html_export.h"

#include <gtest/gtest.h>

#include <string>

#include "core/processor.h"
#include "format/bit_string.h"
#include "memory/micro_memory.h"
#include "support/temp_dir.h"
#include "trace/command_trace.h"
#include "trace/micro_trace.h"
#include "util/cp1251.h"

using namespace vesk;

TEST(TraceHtmlExport, StoredTraceGoesOutInWindows1251WithCrLf) {
  vesk::testing::TempDir dir;
  Processor cpu;
  MicroMemory micro;
  MicroTrace trace(cpu, micro);
  micro.SetComment(1, "Выборка & <проверка>");
  trace.set_PreMCC("01");
  trace.AddLine();
  trace.AddLine();
  const std::string path = dir.file("m.html");
  const FileResult r = SaveTraceHtml(trace, path);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.lines, 2);
  const std::string bytes = vesk::testing::ReadBytes(path);
  const std::string row = "<tr><td>01</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0000</td><td>0000</"
                          "td><td>0</td><td>00000</td><td>0</td><td>0</td><td>01</td><td>" +
                          Utf8ToCp1251("Выборка &amp; &lt;проверка&gt;").bytes + "</td></tr>\r\n";
  EXPECT_NE(bytes.find(row + row + "</table>\r\n</body></html>\r\n"), std::string::npos);
  // Every line ends in CR LF and there is no bare LF.
  for (std::size_t p = bytes.find('\n'); p != std::string::npos; p = bytes.find('\n', p + 1))
    ASSERT_EQ(bytes[p - 1], '\r');
}

TEST(TraceHtmlExport, AFailedExportLeavesTheOldFile) {
  vesk::testing::TempDir dir;
  const std::string path = dir.file("t.html");
  vesk::testing::WriteBytes(path, "old");
  TraceHtmlWriter w;
  ASSERT_EQ(w.Open(path, TraceKind::Command), "");
  EXPECT_EQ(w.AddRow("<tr><td>ok</td></tr>"), "");
  const std::string error = w.AddRow("<tr><td>☃</td></tr>");
  EXPECT_NE(error.find("U+2603"), std::string::npos) << error;
  EXPECT_NE(w.Finish(), "");
  EXPECT_EQ(vesk::testing::ReadBytes(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
  // A folder that does not exist.
  TraceHtmlWriter missing;
  EXPECT_NE(missing.Open(dir.file("no/such/folder/t.html"), TraceKind::Micro), "");
}
