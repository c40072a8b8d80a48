#include "app/mdi_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "app/examples_folder.h"
#include "widgets/dialogs.h"
#include "widgets/file_folders.h"
#include "app/machine.h"
#include "app/main_toolstrip.h"
#include "app/run_driver.h"
#include "app/toolbar_icons.h"
#include "app/turbo_driver.h"
#include "widgets/deferred_refresh.h"
#include "widgets/refresh_beat.h"
#include "widgets/window_layout.h"
#include "core/frm_processor1.h"
#include "io/device_windows.h"
#include "io/frm_controllers.h"
#include "memory/dump_dialogs.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"
#include "trace/trace_shortened.h"

namespace vesk {

// What the machine's owners tell the main window: counts, run state, the
// interrupt button and the periods. During a fast run the counts and the
// button are shown on the refresh beat.
class MDIMain::Listener : public ProcessorListener,
                          public RunControlListener,
                          public BreakpointsListener,
                          public HistoryListener {
 public:
  explicit Listener(MDIMain& w) : w_(w) {
    commands.onCount = [this](std::int32_t v) { count(0, v); };
    micro.onCount = [this](std::int32_t v) { count(1, v); };
    // Said once, when the oldest lines first go, fast run or not.
    commands.onShortened = [this] {
      const auto& t = w_.machine_.trace;
      w_.setNote(kTraceNote, QString::fromStdString(TraceShortenedText(TraceKind::Command, t.LineLimit())));
    };
    micro.onShortened = [this] {
      const auto& t = w_.machine_.microTrace;
      w_.setNote(kMicroTraceNote, QString::fromStdString(TraceShortenedText(TraceKind::Micro, t.LineLimit())));
    };
  }
  void runStateTextChanged(std::string_view text) override {
    w_.panels_[4]->setText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  }
  void interruptButtonChanged(bool pressed) override {
    if (refresh.deferred()) {
      buttonMarked_ = true;
      return;
    }
    w_.strip_->interrupt->setChecked(pressed);
  }
  void historyNote(const std::string& text) override { w_.panels_[3]->setText(QString::fromStdString(text)); }
  void breakpointHit() override {
    const std::string& hit = w_.machine_.breakpoints.LastHit();
    w_.panels_[2]->setText(QStringLiteral("Последняя точка останова : %1 ").arg(QString::fromStdString(hit)));
  }
  void intervalsChanged(int t1, int t2, int t3) override {
    const std::array<int, 3> t{t1, t2, t3};
    for (std::size_t i = 0; i < 3; ++i) w_.strip_->periods[i]->setText(QString::number(t[i]));
  }

  struct Counter : TraceListener {
    std::function<void(std::int32_t)> onCount;
    std::function<void()> onShortened;
    void counterChanged(std::int32_t v) override { onCount(v); }
    void logShortened() override { onShortened(); }
  };
  Counter commands, micro;
  DeferredRefresh refresh{[this] { showMarked(); }};

 private:
  void count(std::size_t panel, std::int32_t v) {
    counts_[panel] = v;
    if (refresh.deferred()) {
      countMarked_[panel] = true;
      return;
    }
    showCount(panel);
  }
  void showCount(std::size_t panel) {
    static const std::array<QString, 2> texts = {QStringLiteral("Выполнено команд : %1 "),
                                                  QStringLiteral("Выполнено микрокоманд : %1 ")};
    w_.panels_[panel]->setText(texts[panel].arg(counts_[panel]));
  }
  void showMarked() {
    for (std::size_t i = 0; i < 2; ++i)
      if (countMarked_[i]) showCount(i);
    countMarked_ = {false, false};
    if (buttonMarked_) w_.strip_->interrupt->setChecked(w_.machine_.processor.InterruptButtonPressed());
    buttonMarked_ = false;
  }

  MDIMain& w_;
  std::array<std::int32_t, 2> counts_{};
  std::array<bool, 2> countMarked_{};
  bool buttonMarked_ = false;
};

MDIMain::MDIMain(Machine& machine, std::string programDir, Dialogs* dialogs, std::optional<SettingsLocation> settings,
                 QWidget* parent)
    : QMainWindow(parent),
      machine_(machine),
      programDir_(std::move(programDir)),
      settings_(settings ? *settings : ChooseSettingsLocation(programDir_)),
      dialogs_(dialogs != nullptr ? dialogs : &StandardDialogs()),
      mdi_(new QMdiArea(this)),
      strip_(std::make_unique<MainToolStrip>(*this)),
      driver_(new RunDriver(machine.runControl, this)),
      beat_(new RefreshBeat(this)),
      turbo_(new TurboDriver(machine.runControl, *beat_, this)),
      listener_(std::make_unique<Listener>(*this)),
      devices_(std::make_unique<DeviceWindows>(machine.devices, this)),
      folders_(std::make_unique<FileFolders>(settings_.path, QString::fromStdString(ExamplesFolder(programDir_)))) {
  setObjectName("MDIMain");
  setWindowTitle("Vesk");
  setWindowIcon(MakeIcon(IconKind::Program));
  mdi_->setBackground(QColor(96, 112, 132));
  // The processor window is wide; on a small screen the area scrolls to it.
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  devices_->setPresenter([this](QWidget* w) { presentDeviceWindow(w); });
  buildStatusBar();
  buildMenus();
  connectToolStrip();

  machine_.processor.listeners().add(listener_.get());
  machine_.runControl.listeners().add(listener_.get());
  machine_.breakpoints.listeners().add(listener_.get());
  machine_.history.listeners().add(listener_.get());
  machine_.trace.listeners().add(&listener_->commands);
  machine_.microTrace.listeners().add(&listener_->micro);
  machine_.setErrorHandler([this](const std::string& message) {
    // Shown after the tick that failed, never inside it.
    const QString text = QString::fromStdString(message);
    QTimer::singleShot(0, this, [this, text] { showError(text); });
  });

  progressTimer_.setSingleShot(true);
  progressTimer_.setInterval(5000);
  connect(&progressTimer_, &QTimer::timeout, this, [this] { strip_->progressBand->hide(); });
  // Until start-up places it (placeMainWindow): the primary screen's room.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    resize(screen->availableGeometry().size());
  else
    resize(1280, 860);
}

MDIMain::~MDIMain() {
  machine_.processor.listeners().remove(listener_.get());
  machine_.runControl.listeners().remove(listener_.get());
  machine_.breakpoints.listeners().remove(listener_.get());
  machine_.history.listeners().remove(listener_.get());
  machine_.history.SetEnabled(false);
  machine_.trace.listeners().remove(&listener_->commands);
  machine_.microTrace.listeners().remove(&listener_->micro);
  machine_.setErrorHandler(nullptr);
}

void MDIMain::buildStatusBar() {
  const std::array<const char*, 5> initial = {"Выполнено команд : 0 ", "Выполнено микрокоманд : 0 ",
                                              "Последняя точка останова : нет ", "", "Состояние : Останов  "};
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(initial[i], this);
    panels_[i]->setObjectName(QString("statusPanel%1").arg(i + 1));
    panels_[i]->setFrameShape(QFrame::StyledPanel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    panels_[i]->setMinimumWidth(i == 3 ? 80 : 170);
    statusBar()->addWidget(panels_[i], i == 3 ? 1 : 0);
  }
}

DeferredRefresh& MDIMain::statusRefresh() { return listener_->refresh; }

void MDIMain::setNote(NoteSlot slot, const QString& text) {
  notes_[slot] = text;
  QStringList shown;
  for (const QString& note : notes_)
    if (!note.isEmpty()) shown << note;
  panels_[3]->setText(shown.join("; "));
  // The panel is narrow for two notes: its hint shows them whole, one a line.
  panels_[3]->setToolTip(shown.join("\n"));
}

QString MDIMain::statusText(int panel) const {
  if (panel < 1 || panel > 5) return {};
  return panels_[static_cast<std::size_t>(panel - 1)]->text();
}

QAction* MDIMain::action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

void MDIMain::buildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
  };
  auto separator = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(name); };

  QMenu* vesk = menuBar()->addMenu("Vesk");
  vesk->setObjectName("mnuVesk");
  connect(add(vesk, "mnuVesk_ClearMem", "Обнулить память"), &QAction::triggered, this,
          [this] { ClearMemoryWithQuestion(machine_.memory, *dialogs_, this); });
  separator(vesk, "mnuSep1");
  connect(add(vesk, "mnuVesk_LoadDump", "Загрузить дамп", QKeySequence("Ctrl+O")), &QAction::triggered, this,
          [this] { LoadDumpWithDialog(machine_.memory, *dialogs_, this, folders_.get()); });
  connect(add(vesk, "mnuVesk_SaveDump", "Сохранить дамп", QKeySequence("Ctrl+S")), &QAction::triggered, this,
          [this] { SaveDumpWithDialog(machine_.memory, *dialogs_, this, folders_.get()); });
  separator(vesk, "mnuSepState");
  connect(add(vesk, "mnuVesk_LoadState", "Загрузить состояние машины...", QKeySequence("Ctrl+Shift+O")),
          &QAction::triggered, this, &MDIMain::LoadMachineState);
  connect(add(vesk, "mnuVesk_SaveState", "Сохранить состояние машины...", QKeySequence("Ctrl+Shift+S")),
          &QAction::triggered, this, &MDIMain::SaveMachineState);
  separator(vesk, "mnuSep2");
  connect(add(vesk, "mnuVesk_Exit", "Выход", QKeySequence("Ctrl+X")), &QAction::triggered, this, &QWidget::close);

  QMenu* cpu = menuBar()->addMenu("Процессор");
  cpu->setObjectName("mnuProcessor_");
  QAction* start = add(cpu, "mnuProcessor_Start", "Пуск", QKeySequence(Qt::Key_F5));
  connect(start, &QAction::triggered, this, &MDIMain::Start);
  separator(cpu, "mnuSep3");
  connect(add(cpu, "mnuProcessor_Clear", "Сброс"), &QAction::triggered, this, &MDIMain::Reset);
  separator(cpu, "mnuSep4");
  connect(add(cpu, "mnuProcessor_ExecuteNextCommand", "Выполнить след. команду", QKeySequence(Qt::Key_F8)),
          &QAction::triggered, this, &MDIMain::Step);
  QAction* resume = add(cpu, "mnuProcessor_Continue", "Продолжить выполнение", QKeySequence(Qt::Key_F7));
  connect(resume, &QAction::triggered, this, &MDIMain::Continue);
  connect(add(cpu, "mnuProcessor_Stop", "Стоп", QKeySequence(Qt::Key_F6)), &QAction::triggered, this, &MDIMain::Stop);
  separator(cpu, "mnuSep9");
  fullPeriod_ = add(cpu, "mnuProcessor_ByMicroCommands", "Полный период");
  shortPeriod_ = add(cpu, "mnuProcessor_ByCommands", "Краткий период");
  fullPeriod_->setCheckable(true);
  shortPeriod_->setCheckable(true);
  shortPeriod_->setChecked(true);
  connect(fullPeriod_, &QAction::triggered, this, [this] { SetMode(1); });
  connect(shortPeriod_, &QAction::triggered, this, [this] { SetMode(2); });
  separator(cpu, "mnuSep10");
  connect(add(cpu, "mnuProcessor_Interrupt", "Сгенерировать прерывание"), &QAction::triggered, this,
          &MDIMain::Interrupt);
  buildFastRunCommands(cpu, start, resume);
  buildStepBackCommands(cpu);

  QMenu* windows = menuBar()->addMenu("Окна");
  windows->setObjectName("mnuWindows");
  QMenu* arrange = windows->addMenu("Упорядочить свернутые");
  arrange->menuAction()->setObjectName("mnuWindows_ArangeMinimized");
  connect(add(arrange, "mnuWindows_ArangeMinimized_Left", "Слева"), &QAction::triggered, this,
          [this] { ArrangeMinimized(ArrangeSide::Left); });
  connect(add(arrange, "mnuWindows_ArangeMinimized_Right", "Справа"), &QAction::triggered, this,
          [this] { ArrangeMinimized(ArrangeSide::Right); });
  connect(add(arrange, "mnuWindows_ArangeMinimized_Bottom", "Снизу"), &QAction::triggered, this,
          [this] { ArrangeMinimized(ArrangeSide::Bottom); });
  separator(windows, "mnuSep7");
  connect(add(windows, "mnuWindows_SetCascade", "Расположить каскадом"), &QAction::triggered, this,
          &MDIMain::CascadeWindows);
  connect(add(windows, "mnuWindows_SetDefault", "Расположить по умолчанию"), &QAction::triggered, this,
          &MDIMain::ArrangeDefault);
  separator(windows, "mnuSep11");
  connect(add(windows, "mnuWindows_Controllers", "Контроллеры внешних устройств"), &QAction::triggered, this,
          [this] { BringUp(static_cast<QWidget*>(controllers_)); });
  connect(add(windows, "mnuWindows_Monitor", "Монитор"), &QAction::triggered, devices_.get(),
          &DeviceWindows::showMonitor);
  connect(add(windows, "mnuWindows_Keyboard", "Клавиатура"), &QAction::triggered, devices_.get(),
          &DeviceWindows::showKeyboard);
  connect(add(windows, "mnuWindows_NetAdapter", "Сетевой адаптер"), &QAction::triggered, devices_.get(),
          &DeviceWindows::showNetAdapter);
  buildDebugCommands(windows);
  addSourceCommands(windows);
}

void MDIMain::connectToolStrip() {
  MainToolStrip& s = *strip_;
  connect(s.showMemory, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(memory_)); });
  connect(s.showTrace, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(trace_)); });
  connect(s.showProcessor, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(processor_)); });
  connect(s.showMicroMemory, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(microMemory_)); });
  connect(s.showMicroTrace, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(microTrace_)); });
  connect(s.showControllers, &QAction::triggered, this, [this] { BringUp(static_cast<QWidget*>(controllers_)); });
  connect(s.minimize, &QAction::triggered, this, &MDIMain::MinimizeActive);
  connect(s.start, &QAction::triggered, this, &MDIMain::Start);
  connect(s.stop, &QAction::triggered, this, &MDIMain::Stop);
  connect(s.step, &QAction::triggered, this, &MDIMain::Step);
  connect(s.resume, &QAction::triggered, this, &MDIMain::Continue);
  connect(s.interrupt, &QAction::triggered, this, &MDIMain::Interrupt);
  connect(s.apply, &QPushButton::clicked, this, &MDIMain::ApplyPeriods);
}

QMdiSubWindow* MDIMain::frameOf(QWidget* child) const {
  for (const auto& [widget, frame] : frames_)
    if (widget == child) return frame;
  return nullptr;
}

void MDIMain::showError(const QString& message) {
  dialogs_->tell(this, windowTitle(), message, Dialogs::Icon::Warning);
}

void MDIMain::setProgress(int value) {
  strip_->progress->setValue(value);
  QApplication::processEvents();
}

void MDIMain::closeEvent(QCloseEvent* event) {
  if (!confirmSourcesSaved()) {
    event->ignore();
    return;
  }
  // Children first, each saving its layout; then the main window's own.
  for (const auto& [widget, frame] : frames_)
    if (auto* w = qobject_cast<MachineWindow*>(widget); w != nullptr && w->isOpened() && frame->isVisible())
      w->saveLayout();
  SaveLayout(*this, settings_.path, "MDIMain");
  QMainWindow::closeEvent(event);
}

}  // namespace vesk
