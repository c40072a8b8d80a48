#include "io/keyboard.h"

#include "util/cp1251.h"

namespace vesk {

std::string KeySymbol(int code) {
  if (code < 0 || code > 255) return {};
  const char byte = static_cast<char>(static_cast<std::uint8_t>(code));
  return Cp1251ToUtf8(std::string_view(&byte, 1));
}

void Keyboard::setMode(Mode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  listeners_.each([](KeyboardListener& l) { l.modeChanged(); });
}

bool Keyboard::KeyPressed(int code) {
  if (code < 1 || code > 255) return false;
  if (mode_ == Mode::SendLastCode) {
    ClearQueue();
  } else if (queue_.size() >= kQueueCapacity) {
    ++dropped_;
    listeners_.each([code](KeyboardListener& l) { l.keyDropped(code); });
    return false;
  }
  queue_.push_back(static_cast<std::uint8_t>(code));
  listeners_.each([](KeyboardListener& l) { l.keysAppended(1); });
  listeners_.each([code](KeyboardListener& l) { l.keyCaptured(code); });
  return true;
}

std::string Keyboard::Symbol(std::size_t i) const { return KeySymbol(Code(i)); }

std::optional<std::uint8_t> Keyboard::TakeKey() {
  if (queue_.empty()) return std::nullopt;
  const std::uint8_t code = queue_.front();
  queue_.pop_front();
  listeners_.each([](KeyboardListener& l) { l.keysRemoved(0, 1); });
  return code;
}

void Keyboard::RestoreQueue(const std::deque<std::uint8_t>& queue) {
  if (queue == queue_) return;
  const std::size_t removed = queue_.size();
  queue_.clear();
  if (removed > 0) listeners_.each([removed](KeyboardListener& l) { l.keysRemoved(0, removed); });
  queue_ = queue;
  const std::size_t added = queue_.size();
  if (added > 0) listeners_.each([added](KeyboardListener& l) { l.keysAppended(added); });
}

void Keyboard::ClearQueue() {
  if (queue_.empty()) return;
  const std::size_t count = queue_.size();
  queue_.clear();
  listeners_.each([count](KeyboardListener& l) { l.keysRemoved(0, count); });
}

}  // namespace vesk
