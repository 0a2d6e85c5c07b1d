#pragma once
// The lines of every run of the program, kept compactly: a small record per
// line, and the lines' texts in large blocks that never move. A run of
// 100,000 files adds 200,000 lines; they must not cost hundreds of megabytes.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

class LineStore {
 public:
  void Append(int id, std::string_view source, std::string_view destination);
  size_t Size() const { return lines_.size(); }
  int Id(size_t line) const { return lines_[line].id; }
  std::string_view Source(size_t line) const { return lines_[line].source; }
  std::string_view Destination(size_t line) const { return lines_[line].destination; }

 private:
  struct Line {
    std::int32_t id;
    std::string_view source;
    std::string_view destination;
  };
  // Copies the text into the current block (a new one when it is full).
  std::string_view Keep(std::string_view text);

  std::deque<Line> lines_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;      // of the last block
  size_t capacity_ = 0;  // of the last block
};
