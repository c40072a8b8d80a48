// The keyboard: keys captured in its window wait in a queue until the
// controller the keyboard is attached to takes them.
//
// A key is its platform key code (the A key is 65 with or without Shift).
// The two modes of the window:
//  - "Добавлять в очередь по мере считывания" (the start mode): every key is
//    appended to the queue, and the program reads them one by one, oldest
//    first, as it releases its controller's flag.
//  - "Отсылась в буфер последний захваченный код": only the latest key
//    counts. It replaces whatever still waits in the queue, and the
//    controller's data register receives it at once even when the program has
//    not read the previous key yet (see DeviceLinks).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "util/listeners.h"

namespace vesk {

class KeyboardListener {
 public:
  virtual ~KeyboardListener() = default;
  // count entries were appended at the end of the queue.
  virtual void keysAppended(std::size_t /*count*/) {}
  // Entries first .. first+count-1 (0 = oldest) were removed; they are gone
  // already when this is called.
  virtual void keysRemoved(std::size_t /*first*/, std::size_t /*count*/) {}
  // A key arrived while the queue was full and was dropped.
  virtual void keyDropped(int /*code*/) {}
  // A key was captured (after it went into the queue).
  virtual void keyCaptured(int /*code*/) {}
  virtual void modeChanged() {}
};

class Keyboard {
 public:
  enum class Mode { SendLastCode, QueueAsRead };
  static constexpr std::size_t kQueueCapacity = 1024;

  Listeners<KeyboardListener>& listeners() { return listeners_; }

  Mode mode() const { return mode_; }
  void setMode(Mode mode);

  // A key pressed in the capture field. Codes outside 1..255 are not keys of
  // the platform and are ignored (false); a full queue drops the key (false).
  bool KeyPressed(int code);

  std::size_t QueueSize() const { return queue_.size(); }
  bool QueueEmpty() const { return queue_.empty(); }
  // Entry i (0 = oldest): its "Код".
  int Code(std::size_t i) const { return queue_.at(i); }
  // Its "Символ": the windows-1251 character whose code is the key code, as
  // UTF-8.
  std::string Symbol(std::size_t i) const;

  // The oldest key, removed from the queue; nothing when the queue is empty.
  std::optional<std::uint8_t> TakeKey();
  // The queue's "Очистить".
  void ClearQueue();

  // The whole queue, for a step back (a key the program took goes back).
  const std::deque<std::uint8_t>& Queue() const { return queue_; }
  void RestoreQueue(const std::deque<std::uint8_t>& queue);

  // Keys dropped because the queue was full, since the start.
  std::uint64_t DroppedCount() const { return dropped_; }

 private:
  Mode mode_ = Mode::QueueAsRead;
  std::deque<std::uint8_t> queue_;
  std::uint64_t dropped_ = 0;
  Listeners<KeyboardListener> listeners_;
};

// The "Символ" of a key code: the windows-1251 character with that code.
std::string KeySymbol(int code);

}  // namespace vesk
