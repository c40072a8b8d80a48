// Start-up and the child windows.
#include <QApplication>
#include <QScreen>
#include <QWindow>
#include <QMdiSubWindow>
#include <algorithm>
#include <vector>

#include "app/machine.h"
#include "app/screen_fit.h"
#include "app/trace_limits.h"
#include "app/main_toolstrip.h"
#include "app/mdi_main.h"
#include "widgets/file_folders.h"
#include "widgets/window_layout.h"
#include "core/frm_processor1.h"
#include "io/device_windows.h"
#include "io/frm_controllers.h"
#include "memory/frm_mem.h"
#include "memory/frm_micro_mem.h"
#include "trace/frm_micro_trace.h"
#include "trace/frm_trace.h"

namespace vesk {

void MDIMain::createWindows() {
  const std::string& ini = settings_.path;
  processor_ = new frmProcessor1(machine_.processor, machine_.runControl, ini, dialogs_);
  memory_ = new frmMem(machine_.memory, ini, dialogs_);
  microMemory_ = new frmMicroMem(machine_.microMemory, ini, dialogs_);
  microMemory_->setProgramDirectory(QString::fromStdString(programDir_));
  trace_ = new frmTrace(machine_.trace, ini, dialogs_);
  microTrace_ = new frmMicroTrace(machine_.microTrace, ini, dialogs_);
  controllers_ = new frmControllers(machine_.controllers, ini, dialogs_);
  connect(controllers_, &frmControllers::propertiesRequested, devices_.get(), &DeviceWindows::openProperties);
  childList_ = {processor_, memory_, microMemory_, trace_, microTrace_};
  arranged_ = {processor_, memory_, microMemory_, controllers_, trace_, microTrace_};
  for (MachineWindow* w : std::initializer_list<MachineWindow*>{microMemory_, trace_, microTrace_})
    w->setFileFolders(folders_.get());
  // Sizes a child starts with (only positions are kept between runs).
  const std::vector<std::pair<QWidget*, QSize>> children = {
      {processor_, QSize()},           {memory_, QSize(760, 520)},     {microMemory_, QSize(900, 480)},
      {trace_, QSize(1100, 320)},      {microTrace_, QSize(1000, 320)}, {controllers_, QSize(720, 480)}};
  for (const auto& [w, size] : children) {
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->resize(size.isValid() ? size : sub->sizeHint());
    // Closing a child hides it; the toolbar brings it back.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(windowIcon());
    sub->hide();
    frames_.emplace_back(w, sub);
  }
  createDebugWindows();
  createSourceWindows();
}

void MDIMain::presentDeviceWindow(QWidget* window) {
  if (frameOf(window) == nullptr) {
    // The size the device window asked for, its contents at their natural size.
    const QSize wanted = window->size().expandedTo(window->sizeHint());
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    // Closing hides it; the menu "Окна" brings it back with its content.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(windowIcon());
    const QMargins frame = sub->contentsMargins();
    sub->resize(wanted.width() + frame.left() + frame.right(), wanted.height() + frame.top() + frame.bottom());
    // First shown where it is seen: towards the middle of the area.
    const QSize area = mdi_->viewport()->size();
    sub->move(std::max(0, (area.width() - sub->width()) / 2), std::max(0, (area.height() - sub->height()) / 3));
    frames_.emplace_back(window, sub);
    followRefreshBeat();  // a monitor made during a fast run gathers its changes too
  }
  BringUp(window);
}

void MDIMain::showChild(QWidget* child) {
  QMdiSubWindow* sub = frameOf(child);
  sub->show();
  child->show();  // opens it: its stored position is restored
  if (auto* w = qobject_cast<MachineWindow*>(child)) placeChild(w);
}

void MDIMain::placeMainWindow() {
  std::optional<PixelRect> stored;
  if (const auto f = StoredFrame(settings_.path, "MDIMain")) {
    const QRect now = frameGeometry();
    stored = PixelRect{f->x(), f->y(), f->width() > 0 ? f->width() : now.width(),
                       f->height() > 0 ? f->height() : now.height()};
  }
  std::vector<PixelRect> screens;
  std::size_t primary = 0;
  for (const QScreen* s : QGuiApplication::screens()) {
    if (s == QGuiApplication::primaryScreen()) primary = screens.size();
    const QRect a = s->availableGeometry();
    screens.push_back({a.x(), a.y(), a.width(), a.height()});
  }
  const PixelRect frame = FitMainWindow(stored, screens, primary);
  // The frame the window manager adds is known once the window is shown.
  const QMargins m = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  resize(std::max(1, frame.width - m.left() - m.right()), std::max(1, frame.height - m.top() - m.bottom()));
  move(frame.x, frame.y);
}

QRect MDIMain::defaultPlace(MachineWindow* child) {
  const QSize area = mdi_->viewport()->size();
  QMdiSubWindow* cpu = frameOf(processor_);
  const QMargins chrome = cpu->contentsMargins();
  const QSize panels = processor_->sizeHint();
  const auto sizes = DefaultArrangedSizes({panels.width() + chrome.left() + chrome.right(),
                                           panels.height() + chrome.top() + chrome.bottom()});
  const auto places = DefaultArrangement({area.width(), area.height()}, sizes);
  for (std::size_t i = 0; i < arranged_.size(); ++i)
    if (arranged_[i] == child) return {places[i].x, places[i].y, places[i].width, places[i].height};
  return {};
}

void MDIMain::placeChild(MachineWindow* child) {
  QMdiSubWindow* sub = frameOf(child);
  if (sub == nullptr || std::find(arranged_.begin(), arranged_.end(), child) == arranged_.end()) return;
  const std::optional<QRect> stored = StoredFrame(child->settingsFile(), child->layoutName());
  if (!stored) {
    sub->setGeometry(defaultPlace(child));
    return;
  }
  placeWithin(sub, child, *stored);
}

// Where the user left it, but never out of reach: the title bar stays in
// the area, and the window is no larger than the area.
void MDIMain::placeWithin(QMdiSubWindow* sub, QWidget* child, const QRect& stored) {
  const QSize area = mdi_->viewport()->size();
  QSize size = stored.isEmpty() ? sub->size() : stored.size();
  size = size.expandedTo(sub->minimumSizeHint()).boundedTo(area.expandedTo(QSize(1, 1)));
  const int titleBar = std::max(1, child->geometry().top());
  const int x = std::clamp(stored.x(), 0, std::max(0, area.width() - std::min(size.width(), 120)));
  const int y = std::clamp(stored.y(), 0, std::max(0, area.height() - titleBar));
  sub->setGeometry(x, y, size.width(), size.height());
}

void MDIMain::StartUp() {
  const TraceLimits limits = ReadTraceLimits(settings_.path);
  ApplyTraceLimits(limits, machine_);
  setNote(kLimitsNote, QString::fromStdString(limits.note));
  createWindows();
  setProgress(0);
  placeMainWindow();
  setProgress(1);
  showChild(processor_);  // reads Mode and the periods, resets the registers
  syncModeChecks();
  setProgress(2);
  showChild(microTrace_);
  showChild(microMemory_);
  setProgress(3);
  microMemory_->LoadDefault();
  setProgress(4);
  showChild(controllers_);
  showChild(trace_);
  showChild(memory_);
  setProgress(5);
  if (settings_.inUserFolder) setNote(kSettingsNote, QString::fromStdString(settings_.note));
  progressTimer_.start();
}

}  // namespace vesk
