// Draws every machine window with some state in it and saves each as a PNG,
// so the look can be checked by eye. Usage: window_gallery OUTPUT_DIR
// (run with QT_QPA_PLATFORM=offscreen, or under a virtual X display).
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/machine.h"
#include "common/shipped_example.h"
#include "core/frm_processor1.h"
#include "format/bit_string.h"
#include "io/frm_controllers.h"
#include "io/frm_dev_keyboard.h"
#include "io/frm_dev_monitor.h"
#include "io/frm_dev_prop.h"
#include "io/frm_net_adapter.h"
#include "io/hub_transport.h"
#include "io/net_adapter.h"
#include "memory/frm_mem.h"
#include "memory/dump_file.h"
#include "memory/frm_micro_mem.h"
#include "memory/frm_micro_program.h"
#include "memory/frm_program.h"
#include "memory/micro_program_file.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"

using namespace vesk;

namespace {

Word Bits(const char* hex) { return FitWidth(HexToBin(hex), 16); }

// A socket layer that takes every connection and pretends to send, so the
// network window can show a hub with stations coming and going.
class PretendTransport : public HubTransport {
 public:
  std::size_t unsentOnTwo = 0;
  bool IsConnected(int socket) const override { return socket > 0; }
  void Send(int, std::string_view) override {}
  bool Accept(int, int) override { return true; }
  void Refuse(int) override {}
  void Close(int) override {}
  std::string Listen(const std::string&, std::uint16_t) override { return {}; }
  std::string Connect(const std::string&, std::uint16_t) override { return {}; }
  std::size_t UnsentBytes(int socket) override { return socket == 2 ? unsentOnTwo : 0; }
  std::string RequestPeerText(int request) const override { return "192.168.1." + std::to_string(20 + request) + ":51522"; }
};

void Save(QWidget& w, const QString& dir, const char* name) {
  w.show();
  QApplication::processEvents();
  const QString path = QDir(dir).filePath(QString::fromLatin1(name) + ".png");
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
  else std::printf("%s %dx%d\n", qPrintable(path), w.width(), w.height());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  const std::string settings = QDir(dir).filePath("cfg.ini").toStdString();
  Machine m;

  frmProcessor1 processor(m.processor, m.runControl, settings);
  processor.open();
  m.processor.Reg_Set_A(Bits("FFFF"));
  m.processor.Reg_Set_Data(Bits("4123"));
  m.processor.Reg_Set_Command(Bits("F200"));
  m.processor.Reg_Set_CommandCounter(Bits("0124"));
  m.processor.Reg_Set_Address(Bits("0123"));
  m.processor.Reg_Set_Buffer("10000000000000001");
  m.processor.Reg_Set_С("1");
  m.processor.SetInterruptMode(1);
  m.processor.Micro_Reg_Set_Command(Bits("1190"));
  m.processor.Micro_Reg_Set_CommandCounter("1A");
  ShowSignals(m.processor, ExpandMicroCommand(Bits("1190")));
  m.runControl.SetIntervals(20, 100, 100);
  processor.resize(processor.sizeHint());
  Save(processor, dir, "processor");

  frmMem memory(m.memory, settings);
  m.memory.Mem_WriteMem("000", Bits("4010"));
  m.memory.SetComment(0, "сложить с ячейкой 010");
  m.memory.Mem_WriteMem("001", Bits("F000"));
  m.memory.SetComment(1, "стоп");
  m.memory.Mem_WriteMem("010", Bits("FFFF"));
  memory.show();
  QApplication::processEvents();
  memory.modeSelector()->setCurrentText("Dec");
  memory.selectRow(0x10);
  Save(memory, dir, "memory");

  frmMicroMem micro(m.microMemory, settings);
  m.microMemory.Micro_WriteMem("01", Bits("0300"));
  m.microMemory.SetComment(1, "СК в БР");
  m.microMemory.Micro_WriteMem("02", Bits("4001"));
  m.microMemory.SetComment(2, "БР в РА");
  m.microMemory.Micro_WriteMem("03", Bits("8301"));
  m.microMemory.SetComment(3, "переход на 01");
  micro.show();
  QApplication::processEvents();
  micro.selectAddress(2);
  Save(micro, dir, "micro_memory");

  frmControllers controllers(m.controllers, settings);
  m.controllers.Reg_Set_Data("05", "00110100");
  m.controllers.Reg_Set_Flag("05", 1);
  m.controllers.SetDevice(Controllers::RowOfAddress(5), kDeviceMonitor);
  m.controllers.SetComment(Controllers::RowOfAddress(5), "экран");
  controllers.show();
  QApplication::processEvents();
  controllers.selectRow(4);
  Save(controllers, dir, "controllers");

  // The shipped micro-program runs the multiplication example: both traces
  // fill, and the lists show real rows.
  frmTrace trace(m.trace, settings);
  frmMicroTrace microTrace(m.microTrace, settings);
  const std::string source = VESK_SOURCE_DIR;
  if (!vesk::tools::LoadShippedExample(m, source)) return 1;
  m.runControl.SetIntervals(0, 0, 0);
  m.processor.MODE = 2;
  m.processor.Reset();
  m.Start("000");
  for (int i = 0; i < 400; ++i) m.runControl.Tick();
  trace.model()->flush();
  microTrace.model()->flush();
  Save(micro, dir, "micro_memory_loaded");
  Save(memory, dir, "memory_loaded");
  trace.resize(1100, 320);
  Save(trace, dir, "trace");
  microTrace.resize(1000, 320);
  Save(microTrace, dir, "micro_trace");

  // The devices: the print example on a monitor, keys waiting in the
  // keyboard's queue, the device dialog and the network adapter's window.
  frmDevMonitor monitor(m.monitor);
  m.controllers.SetDevice(Controllers::RowOfAddress(2), kDeviceMonitor);
  if (!Mem_LoadDump(m.memory, source + "/examples/print.vdmp").ok) {
    std::fprintf(stderr, "cannot load the print example\n");
    return 1;
  }
  m.Start("000");
  for (int i = 0; i < 20000 && !m.runControl.Idle(); ++i) m.runControl.Tick();
  Save(monitor, dir, "monitor");
  frmDevKeyboard keyboard(m.keyboard);
  for (const int key : {72, 69, 76, 76, 79, 13, 112, 37}) m.keyboard.KeyPressed(key);
  keyboard.captureField()->setText("hello");
  Save(keyboard, dir, "keyboard");
  frmDevProp prop(m.controllers);
  prop.Open(Controllers::RowOfAddress(0x0A));
  Save(prop, dir, "device_dialog");
  frmNetAdapter net(m.netAdapter, nullptr, &m.devices);
  Save(net, dir, "net_adapter");

  // A hub whose log has a join, a station that stopped reading, and a leave.
  NetAdapter hubAdapter;
  PretendTransport pretend;
  hubAdapter.setTransport(&pretend);
  frmNetAdapter hubWindow(hubAdapter, nullptr, nullptr);
  hubWindow.hubOption()->setChecked(true);
  hubAdapter.StartHub("0.0.0.0", NetAdapter::kDefaultHubPort);
  using namespace std::string_literals;
  for (int i = 1; i <= 3; ++i) {
    hubAdapter.ConnectionRequest(0, i);
    hubAdapter.DataArrival(i, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(i) + '\0');
  }
  pretend.unsentOnTwo = NetAdapter::kMaxUnsentBytes + 1;
  hubAdapter.DataArrival(1, "public-packet:vesk1;41\0"s);
  hubAdapter.SocketClosed(3);
  Save(hubWindow, dir, "net_adapter_hub");

  // The source windows: the multiplication example, and the shipped
  // micro-program's text as "Из памяти" writes it.
  LoadMicroProgram(m.microMemory, source + "/microprograms/vesk.mpdmp");
  frmProgram program(m.memory, m.processor, settings);
  program.resize(820, 560);
  program.OpenFile(QString::fromStdString(source + "/examples/multiply.vasm"));
  Save(program, dir, "program_text");
  frmMicroProgram microText(m.microMemory, m.processor, settings);
  microText.resize(900, 560);
  microText.FromMemory();
  Save(microText, dir, "micro_program_text");
  return 0;
}
