#include "golden/machine_cases.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/machine.h"
#include "format/bit_string.h"
#include "golden/case_programs.h"
#include "golden/case_random.h"
#include "golden/case_record.h"
#include "golden/notification_log.h"
#include "memory/dump_file.h"
#include "trace/html_export.h"

namespace vesk::golden {

namespace {

constexpr int kTickBudget = 500;

class Script {
 public:
  Script(int index, Machine& m, const std::string& folder)
      : r_(static_cast<std::uint64_t>(index) + 100000), index_(index), m_(m), folder_(folder) {}

  void Run(CaseRecord& record);

 private:
  void setUp();
  void act();
  void ticks(int n);
  // Runs an owner operation the way a window does; a refusal is written down.
  void attempt(const std::string& what, const std::function<void()>& operation);
  std::string flagText();
  std::string microCounterText();
  std::string memoryWord();
  void snapshot(CaseRecord& record);

  CaseRandom r_;
  int index_;
  Machine& m_;
  std::vector<Row> loadedMicro_;
  std::string folder_;
  NotificationLog* log_ = nullptr;
  std::vector<std::string> errors_;
  int ticksLeft_ = kTickBudget;
};

std::string Flag(bool b) { return b ? "1" : "0"; }

void Script::setUp() {
  m_.setErrorHandler([this](const std::string& e) { errors_.push_back(e); });
  m_.runControl.SetIntervals(r_.below(4), r_.below(4), r_.below(4));
  if (r_.percent(10)) m_.runControl.SetIntervals(20, 100, 100);
  m_.processor.MODE = r_.percent(50) ? 1 : 2;
  loadedMicro_ = RandomMicroProgram(r_);
  for (std::size_t i = 0; i < loadedMicro_.size(); ++i)
    m_.microMemory.SetRow(static_cast<int>(i + 1), FitWidth(HexToBin(loadedMicro_[i].hex), 16), loadedMicro_[i].comment);
  m_.microMemory.notifyRowsChanged();
  const std::vector<Row> dump = RandomDump(r_);
  for (std::size_t i = 0; i < dump.size(); ++i)
    m_.memory.SetRow(static_cast<int>(i), FitWidth(HexToBin(dump[i].hex), 16), dump[i].comment);
  const int presets = r_.below(4);
  for (int k = 0; k < presets; ++k) {
    const int row = Controllers::RowOfAddress(r_.percent(70) ? r_.between(0, 7) : r_.below(256));
    m_.controllers.Reg_Set_Data(Controllers::AddressText(row), CaseRandom::Bits(static_cast<std::uint32_t>(r_.next()), 8));
    if (r_.percent(50)) m_.controllers.SetFlagOfRow(row, r_.below(2));
  }
  if (r_.percent(20)) m_.controllers.SetDevice(Controllers::RowOfAddress(r_.between(1, 7)), kDeviceMonitor);
  if (r_.percent(15)) {
    m_.controllers.SetDevice(Controllers::RowOfAddress(r_.between(1, 7)), kDeviceKeyboard);
    for (int k = r_.below(5); k > 0; --k) m_.keyboard.KeyPressed(r_.between(1, 255));
  }
}

void Script::ticks(int n) {
  for (int k = 0; k < n && ticksLeft_ > 0; ++k, --ticksLeft_) m_.runControl.Tick();
}

void Script::attempt(const std::string& what, const std::function<void()>& operation) {
  log_->note("> " + what);
  try {
    operation();
  } catch (const std::exception& e) {
    log_->note(std::string("! ") + e.what());
  }
}

std::string Script::flagText() {
  return r_.pick(std::vector<std::string>{"0", "1", "1", "0", "", "2", "x", "-1", "0.5", " 1", "1e3"});
}

std::string Script::microCounterText() {
  switch (r_.below(6)) {
    case 0: return r_.addressText(256, 2);
    case 1: return r_.pick(std::vector<std::string>{"", "0", "00", "5", "a5", "zz", "100", "FF", "1FF"});
    default: return CaseRandom::Hex(static_cast<std::uint32_t>(r_.between(1, 0x30)), 2);
  }
}

std::string Script::memoryWord() {
  return r_.percent(85) ? CaseRandom::Bits(static_cast<std::uint32_t>(r_.next()), 16) : r_.registerText();
}

void Script::act() {
  Processor& p = m_.processor;
  switch (r_.below(40)) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: {
      const int n = r_.percent(80) ? r_.between(1, 60) : r_.between(61, 250);
      log_->note("> ticks " + std::to_string(n));
      ticks(n);
      break;
    }
    case 12: case 13: case 14: {
      std::string start = r_.percent(85) ? CaseRandom::Hex(static_cast<std::uint32_t>(r_.below(8)), r_.between(1, 3))
                                         : r_.addressText(0x800, 3);
      attempt("start " + start, [&] { m_.Start(start); });
      break;
    }
    case 15: attempt("stop", [&] { m_.runControl.P_STOP(); }); break;
    case 16: attempt("continue", [&] { m_.runControl.P_RUN(); }); break;
    case 17: case 18: case 19: attempt("step", [&] { m_.runControl.P_EXECUTE_NEXT_COMMAND(); }); break;
    case 20: attempt("interrupt", [&] { p.SetInterruptReg(1); }); break;
    case 21: attempt("reset", [&] { p.Reset(); }); break;
    case 22: {
      const int mode = r_.percent(90) ? r_.between(1, 2) : r_.pick(std::vector<int>{0, 3});
      attempt("mode " + std::to_string(mode), [&] { p.MODE = mode; });
      break;
    }
    case 23: {
      const int t1 = r_.below(4), t2 = r_.below(4), t3 = r_.below(4);
      attempt("periods", [&] { m_.runControl.SetIntervals(t1, t2, t3); });
      break;
    }
    case 24: case 25: case 26: case 27: case 28: {
      const std::string v = r_.registerText();
      const int which = r_.below(16);
      attempt("register " + std::to_string(which) + " := '" + v + "'", [&] {
        switch (which) {
          case 0: p.Reg_Set_A(v); break;
          case 1: p.Reg_Set_Data(v); break;
          case 2: p.Reg_Set_Command(v); break;
          case 3: p.Reg_Set_CommandCounter(v); break;
          case 4: p.Reg_Set_Address(v); break;
          case 5: p.Reg_Set_Key(v); break;
          case 6: p.Reg_Set_Buffer(v); break;
          case 7: p.Reg_Set_State(v); break;
          case 8: p.Micro_Reg_Set_Command(v); break;
          case 9: p.Micro_Reg_Set_CommandCounter(microCounterText()); break;
          case 10: p.Reg_Set_С(flagText()); break;
          case 11: p.Reg_Set_Z(flagText()); break;
          case 12: p.Reg_Set_N(flagText()); break;
          case 13: p.SetInterruptMode(r_.below(2)); break;
          case 14: p.SetInterruptReg(r_.below(2)); break;
          default: p.LV_Set(r_.below(31) - 1, r_.percent(50)); break;
        }
      });
      break;
    }
    case 29: case 30: {
      const std::string a = r_.addressText(0x800, 3), v = memoryWord();
      attempt("memory write " + a + " " + v, [&] { m_.memory.Mem_WriteMem(a, v); });
      break;
    }
    case 31: {
      const std::string a = r_.addressText(0x800, 3);
      const int choice = r_.below(4);
      attempt("memory " + std::to_string(choice) + " " + a, [&] {
        if (choice == 0) m_.memory.Mem_Clear();
        else if (choice == 1) m_.memory.SetComment(r_.below(0x800), r_.comment());
        else m_.memory.Mem_ReadMem(a);
      });
      break;
    }
    case 32: case 33: {
      const std::string a = r_.addressText(0x100, 2), v = memoryWord();
      const bool comment = r_.percent(25);
      attempt("micro write " + a + " " + v, [&] {
        if (comment) m_.microMemory.SetComment(r_.between(1, 0x30), r_.comment());
        else m_.microMemory.Micro_WriteMem(a, v);
      });
      break;
    }
    case 34: case 35: {
      const std::string a = r_.addressText(0x100, 2);
      const int choice = r_.below(7);
      std::string v = r_.percent(70) ? CaseRandom::Bits(static_cast<std::uint32_t>(r_.next()), 8) : r_.registerText();
      attempt("controller " + std::to_string(choice) + " " + a + " " + v, [&] {
        switch (choice) {
          case 0: case 1: m_.controllers.Reg_Set_Data(a, v); break;
          case 2: m_.controllers.Reg_Set_Flag(a, r_.below(2)); break;
          case 3: m_.controllers.DropAllFlag(); break;
          case 4: m_.controllers.SetDevice(r_.below(8), r_.pick(std::vector<std::string>{" - ", "Monitor", "Keyboard"})); break;
          case 5: m_.controllers.SetComment(r_.below(8), r_.comment()); break;
          default: m_.controllers.ExecuteIOCommand(r_.registerText()); break;
        }
      });
      break;
    }
    case 36: case 37: {
      const std::string v = r_.percent(50) ? r_.registerText() : r_.addressText(0x800, 4);
      const int choice = r_.below(5);
      attempt("trace " + std::to_string(choice) + " '" + v + "'", [&] {
        switch (choice) {
          case 0: m_.trace.set_CURR_ADDR(v); break;
          case 1: m_.trace.set_CURR_CMD(v); break;
          case 2: m_.trace.set_EFFECT_ADDR(v); break;
          case 3: m_.trace.set_EFFECT_VAL(v); break;
          default: m_.microTrace.set_PreMCC(v); break;
        }
      });
      break;
    }
    case 38: {
      const int choice = r_.below(4);
      attempt("trace list " + std::to_string(choice), [&] {
        switch (choice) {
          case 0: m_.trace.ClearLog(); break;
          case 1: m_.microTrace.ClearLog(); break;
          case 2: m_.trace.setStoring(!m_.trace.storing()); break;
          default: m_.microTrace.setStoring(!m_.microTrace.storing()); break;
        }
      });
      break;
    }
    default: {
      const int code = r_.between(0, 300);
      attempt("key " + std::to_string(code), [&] { m_.keyboard.KeyPressed(code); });
      break;
    }
  }
}

void Script::snapshot(CaseRecord& record) {
  const Processor& p = m_.processor;
  record.section("processor");
  static const char* kNames[] = {"А", "РД", "РК", "СК", "РА", "КР", "БР", "РС", "РМК", "СчМК"};
  for (int k = 0; k < 10; ++k) {
    const Reg reg = static_cast<Reg>(k);
    const RegisterTexts t = p.Texts(reg);
    record.line(std::string(kNames[k]) + " '" + RawRegister(p, reg) + "' hex '" + t.hex + "' dec '" + t.dec + "' bin '" +
                t.bin + "' asm '" + t.mnemonic + "' b16 '" + t.bit16 + "' hb '" + t.horizontalBin + "' hh '" +
                t.horizontalHex + "'");
  }
  record.field("horizontal", p.Micro_Reg_Get_Horizontal().view());
  record.field("alu", std::string(p.ALU_LEFT.text().view()) + " " + std::string(p.ALU_RIGHT.text().view()));
  record.field("C N Z", std::string(p.Reg_Get_С().view()) + " " + std::string(p.Reg_Get_N().view()) + " " +
                            std::string(p.Reg_Get_Z().view()));
  std::string lamps;
  for (int i = 0; i < kLampCount; ++i) lamps += Flag(p.LV_Get(i));
  record.field("lamps", lamps);
  record.field("running", Flag(p.GetRunning()) + " request " + Flag(p.bIsRunning_Act) + " mode " +
                              std::to_string(p.MODE) + " button " + Flag(p.InterruptButtonPressed()) + " status '" +
                              p.RunStateText() + "'");
  const RunControl& rc = m_.runControl;
  char indicator[160];
  std::snprintf(indicator, sizeof indicator, "idle %d ticks %d timers %d%d%d bar %d line %.4f periods %d %d %d",
                rc.Idle() ? 1 : 0, rc.TickCounter(), rc.TimerEnabled(1) ? 1 : 0, rc.TimerEnabled(2) ? 1 : 0,
                rc.TimerEnabled(3) ? 1 : 0, rc.Indicator().activeBar, rc.Indicator().lineY, rc.Interval(1),
                rc.Interval(2), rc.Interval(3));
  record.field("run control", indicator);

  record.section("memory");
  record.field("selected", std::to_string(m_.memory.Selected()));
  for (int a = 0; a < MainMemory::kWords; ++a) {
    if (a != 0 && a != MainMemory::kWords - 1 && m_.memory.Value(a) == "0000000000000000" && m_.memory.Comment(a).empty())
      continue;
    record.line(MainMemory::AddressText(a) + " " + m_.memory.HexText(a) + " | " + m_.memory.DecText(a) + " | " +
                m_.memory.BinText(a) + " | " + m_.memory.AsmText(a) + " | " + m_.memory.Comment(a));
  }
  // Every save is synced to the disk: one case in ten saves its files, the
  // others record what the exports are made of.
  const bool saveFiles = index_ % 10 == 0;
  if (saveFiles) {
    const std::string dump = folder_ + "/memory.vdmp";
    std::filesystem::remove(dump);
    const FileResult saved = Mem_SaveDump(m_.memory, dump);
    record.field("dump saved", saved.ok ? "yes" : saved.error);
    record.fileAt("memory dump", dump);
  }

  record.section("micro-memory");
  record.field("selected", std::to_string(m_.microMemory.Selected()));
  // Every row in one case in eight, else the rows the script changed.
  const bool allRows = index_ % 8 == 0;
  for (int a = 1; a <= MicroMemory::kWords; ++a) {
    const Row& loaded = loadedMicro_[static_cast<std::size_t>(a - 1)];
    const bool changed = BinToHex(m_.microMemory.Value(a)) != loaded.hex || m_.microMemory.Comment(a) != loaded.comment;
    if (!allRows && !changed && a != MicroMemory::kWords) continue;
    record.line(MicroMemory::AddressText(a) + " " + m_.microMemory.VerticalText(a) + " | " +
                m_.microMemory.HorizontalText(a) + " | " + m_.microMemory.Key(a) + " | " + m_.microMemory.Comment(a));
  }

  record.section("controllers");
  for (int row = 0; row < Controllers::kCount; ++row) {
    if (row != 0 && m_.controllers.IsInitial(row) && m_.controllers.Comment(row).empty()) continue;
    record.line(Controllers::AddressText(row) + " " + std::to_string(m_.controllers.Flag(row)) + " " +
                m_.controllers.DataText(row) + " | " + m_.controllers.Device(row) + " | " + m_.controllers.Comment(row) +
                " | " + Flag(m_.controllers.IsInitial(row)));
  }
  record.field("keyboard queue", std::to_string(m_.keyboard.QueueSize()));
  std::string screen;
  for (int y = 1; y <= Monitor::kRows; ++y)
    for (int x = 1; x <= Monitor::kColumns; ++x)
      if (m_.monitor.GetChar(x, y) != 0) screen += " " + std::to_string(x) + "," + std::to_string(y) + "=" + std::to_string(m_.monitor.GetChar(x, y));
  record.field("monitor", screen + " cursor " + std::to_string(m_.monitor.CursorColumn()) + "," +
                              std::to_string(m_.monitor.CursorRow()));

  record.section("traces");
  record.field("command", "count " + std::to_string(m_.trace.CCounter()) + " lines " + std::to_string(m_.trace.LineCount()) +
                              " addr '" + std::string(m_.trace.CURR_ADDR().view()) + "' cmd '" +
                              std::string(m_.trace.CURR_CMD().view()) + "' effect '" +
                              std::string(m_.trace.EFFECT_ADDR().view()) + "' '" +
                              std::string(m_.trace.EFFECT_VAL().view()) + "'");
  record.field("micro", "count " + std::to_string(m_.microTrace.MCCounter()) + " lines " +
                            std::to_string(m_.microTrace.LineCount()) + " before '" +
                            std::string(m_.microTrace.PreMCC().view()) + "'");
  // Single cells, as the trace windows ask for them.
  for (std::int64_t line : {std::int64_t{0}, m_.trace.LineCount() / 2, m_.trace.LineCount() - 1}) {
    std::string cells;
    for (int c = 0; c < CommandTrace::kColumns; ++c) cells += "|" + m_.trace.Cell(line, c);
    record.field("command cells " + std::to_string(line), cells);
  }
  for (std::int64_t line : {std::int64_t{0}, m_.microTrace.LineCount() / 2, m_.microTrace.LineCount() - 1}) {
    std::string cells;
    for (int c = 0; c < MicroTrace::kColumns; ++c) cells += "|" + m_.microTrace.Cell(line, c);
    record.field("micro cells " + std::to_string(line), cells);
  }
  if (saveFiles) {
    const std::string trace = folder_ + "/trace.html", micro = folder_ + "/micro.html";
    std::filesystem::remove(trace);
    std::filesystem::remove(micro);
    const FileResult t = SaveTraceHtml(m_.trace, trace);
    const FileResult mt = SaveTraceHtml(m_.microTrace, micro);
    record.field("exports", (t.ok ? std::string("ok") : t.error) + " / " + (mt.ok ? std::string("ok") : mt.error));
    record.fileAt("command trace", trace);
    record.fileAt("micro-command trace", micro);
  } else {
    std::string row;
    record.section("command trace rows");
    for (std::int64_t i = 0; i < m_.trace.LineCount(); ++i) {
      row.clear();
      m_.trace.AppendHtmlRow(row, i);
      record.line(row);
    }
    record.section("micro-command trace rows");
    for (std::int64_t i = 0; i < m_.microTrace.LineCount(); ++i) {
      row.clear();
      m_.microTrace.AppendHtmlRow(row, i);
      record.line(row);
    }
  }

  record.section("errors");
  for (const std::string& e : errors_) record.line(e);
}

void Script::Run(CaseRecord& record) {
  setUp();
  NotificationLog log(m_);
  log_ = &log;
  const int actions = r_.between(4, 24);
  for (int k = 0; k < actions && ticksLeft_ > 0; ++k) act();
  log.note("> to the end");
  while (ticksLeft_ > 0 && !m_.runControl.Idle()) ticks(1);
  record.section("notifications");
  record.line(log.text());
  snapshot(record);
  log_ = nullptr;
}

}  // namespace

std::string RecordMachineCase(int index, const std::string& folder) {
  // The start line of the command trace is local time.
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  CaseRecord record;
  record.section("machine case " + std::to_string(index));
  Machine m;
  m.trace.setClock([index] { return static_cast<std::time_t>(1700000000 + index * 3607); });
  Script script(index, m, folder);
  script.Run(record);
  return record.text();
}

}  // namespace vesk::golden
