// Distinct texts stored once and named by a number; 0 names the empty text.
// Trace lines keep comments and effect addresses this way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vesk {

class StringPool {
 public:
  StringPool() { texts_.emplace_back(); }

  std::uint32_t intern(std::string_view text) {
    if (text.empty()) return 0;
    const auto it = ids_.find(std::string(text));
    if (it != ids_.end()) return it->second;
    const auto id = static_cast<std::uint32_t>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
  }

  const std::string& text(std::uint32_t id) const { return texts_[id < texts_.size() ? id : 0]; }

  void clear() {
    texts_.resize(1);
    ids_.clear();
  }

 private:
  std::vector<std::string> texts_;
  std::unordered_map<std::string, std::uint32_t> ids_;
};

}  // namespace vesk
