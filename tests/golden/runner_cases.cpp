#include "golden/runner_cases.h"

#include <filesystem>
#include <sstream>
#include <vector>

#include "app/runner.h"
#include "golden/case_programs.h"
#include "golden/case_random.h"
#include "golden/case_record.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "support/temp_dir.h"

namespace vesk::golden {

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> RandomArguments(CaseRandom& r, const std::string& micro, const std::string& dump) {
  std::vector<std::string> args = {"--micro", micro};
  if (r.percent(90)) args.insert(args.end(), {"--dump", dump});
  if (r.percent(85)) {
    std::string start = CaseRandom::Hex(static_cast<std::uint32_t>(r.below(r.percent(80) ? 8 : 0x800)), r.between(1, 3));
    if (r.percent(15))
      for (char& c : start)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    args.insert(args.end(), {"--start", start});
  }
  if (r.percent(50)) args.insert(args.end(), {"--mode", r.percent(50) ? "full" : "short"});
  const int presets = r.percent(40) ? r.between(1, 4) : 0;
  for (int k = 0; k < presets; ++k) {
    const int controller = r.percent(70) ? r.between(0, 7) : r.between(0, 255);
    std::string io = CaseRandom::Hex(static_cast<std::uint32_t>(controller), 2) + "=" +
                     CaseRandom::Hex(static_cast<std::uint32_t>(r.below(256)), r.between(1, 2));
    if (r.percent(60)) io += r.percent(50) ? ":1" : ":0";
    args.insert(args.end(), {"--io", io});
  }
  if (r.percent(30)) args.insert(args.end(), {"--interrupt-after", std::to_string(r.between(0, 12))});
  if (r.percent(30)) args.insert(args.end(), {"--max-commands", std::to_string(r.between(0, 40))});
  const int micro_limit = r.percent(90) ? r.between(1, 250) : r.between(251, 1000);
  args.insert(args.end(), {"--max-micro", std::to_string(micro_limit)});
  return args;
}

void Run(CaseRecord& record, const std::vector<std::string>& args, const std::string& folder) {
  std::ostringstream out, err;
  auto [options, why] = ParseRunnerArgs(args);
  if (!options) {
    record.field("usage", why);
    return;
  }
  const int status = RunHeadless(*options, folder, out, err);
  record.field("exit", std::to_string(status));
  record.section("stdout");
  record.line(out.str());
  record.section("stderr");
  record.line(Replace(err.str(), folder, "<folder>"));
}

}  // namespace

std::string RecordRunnerCase(int index, const std::string& folder) {
  CaseRandom r(static_cast<std::uint64_t>(index) + 1);
  CaseRecord record;
  const std::string micro = folder + "/case.mpdmp";
  const std::string dump = folder + "/case.vdmp";
  vesk::testing::WriteBytes(micro, RowFileBytes(RandomMicroProgram(r), MicroMemory::kWords));
  vesk::testing::WriteBytes(dump, RowFileBytes(RandomDump(r), MainMemory::kWords));
  const std::vector<std::string> args = RandomArguments(r, micro, dump);

  std::string shown = "vesk-run";
  for (const std::string& a : args) shown += " " + Replace(a, folder, "<folder>");
  record.section("runner case " + std::to_string(index));
  record.line(shown);

  std::vector<std::string> full = args;
  const std::string trace = folder + "/trace.html", microTrace = folder + "/micro.html", saved = folder + "/saved.vdmp";
  for (const std::string& path : {trace, microTrace, saved}) std::filesystem::remove(path);
  full.insert(full.end(), {"--trace", trace, "--micro-trace", microTrace, "--json"});
  // Every save is synced to the disk; a third of the cases save the dump.
  const bool saveDump = index % 3 == 0;
  if (saveDump) full.insert(full.end(), {"--save-dump", saved});
  Run(record, full, folder);
  record.fileAt("command trace", trace, true);
  record.fileAt("micro-command trace", microTrace);
  if (saveDump) record.fileAt("saved dump", saved);

  // Without trace files the runner takes its fastest way; the state it ends
  // in must be the same.
  std::vector<std::string> bare = args;
  bare.push_back("--json");
  record.section("json only");
  Run(record, bare, folder);
  return record.text();
}

}  // namespace vesk::golden
