// StringList: the engine's list of strings, forgiving at its edges (reads outside the list give
// the empty string, writes and deletes there do nothing). Libraries offer it to scripts as a class.
#pragma once

#include <string>
#include <vector>

namespace quoll {

class StringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  std::string Get(int index) const {
    return InRange(index) ? items_[static_cast<size_t>(index)] : std::string();
  }
  void Set(int index, std::string value) {
    if (InRange(index)) items_[static_cast<size_t>(index)] = std::move(value);
  }
  void Add(std::string value) { items_.push_back(std::move(value)); }
  void Delete(int index) {
    if (InRange(index)) items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }

 private:
  bool InRange(int index) const { return index >= 0 && static_cast<size_t>(index) < items_.size(); }
  std::vector<std::string> items_;
};

}  // namespace quoll
