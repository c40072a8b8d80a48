// Listens to every owner of a machine and writes each notification as a line,
// with the value the notified window would read at that moment.
#pragma once

#include <string>

#include "app/machine.h"

namespace vesk::golden {

class NotificationLog final : ProcessorListener,
                              MainMemoryListener,
                              MicroMemoryListener,
                              ControllersListener,
                              RunControlListener,
                              MonitorListener {
 public:
  explicit NotificationLog(Machine& m);
  ~NotificationLog() override;
  NotificationLog(const NotificationLog&) = delete;
  NotificationLog& operator=(const NotificationLog&) = delete;

  void note(const std::string& text) {
    text_ += text;
    text_ += '\n';
  }
  const std::string& text() const { return text_; }

 private:
  class TraceEvents : public TraceListener {
   public:
    TraceEvents(NotificationLog& log, char tag) : log_(log), tag_(tag) {}
    void counterChanged(std::int32_t v) override;
    void lineAdded() override;
    void logCleared() override;

   private:
    NotificationLog& log_;
    char tag_;
  };

  void registerChanged(Reg r) override;
  void lampChanged(int index, bool on) override;
  void runStateTextChanged(std::string_view text) override;
  void interruptButtonChanged(bool pressed) override;
  void memoryRowChanged(int address) override;
  void memorySelectionChanged(int address) override;
  void memoryCleared() override;
  void microRowChanged(int address) override;
  void microSelectionChanged(int address) override;
  void microRowsChanged() override;
  void controllerChanged(int row) override;
  void dataRegisterWritten(int row) override;
  void flagChanged(int row) override;
  void indicatorMoved() override;
  void intervalsChanged(int t1, int t2, int t3) override;
  void cellChanged(int x, int y) override;
  void screenChanged() override;

  Machine& m_;
  TraceEvents commandEvents_{*this, 'c'};
  TraceEvents microEvents_{*this, 'm'};
  std::string text_;
};

// The raw text a register's getter returns.
std::string RawRegister(const Processor& p, Reg r);

}  // namespace vesk::golden
