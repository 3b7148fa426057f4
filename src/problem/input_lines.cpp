#include "problem/input_lines.h"

#include <cstdint>
#include <limits>

namespace vema {

bool InputLineReader::next(std::string& line) {
  if (done_) return false;
  line.clear();
  std::streambuf* buf = in_.rdbuf();
  if (buf == nullptr) {
    done_ = true;
    return false;
  }
  bool saw_any = false;
  bool saw_newline = false;
  // Content plus an optional CR fits in kMaxLineLength + 1 characters; one more
  // proves the line is too long without reading the rest of it.
  constexpr size_t kKeep = kMaxLineLength + 2;
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) break;
    saw_any = true;
    if (c == '\n') {
      saw_newline = true;
      break;
    }
    line.push_back(static_cast<char>(c));
    if (line.size() >= kKeep) {
      done_ = true;
      line.clear();
      return false;
    }
  }
  if (!saw_any) {
    done_ = true;
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > static_cast<size_t>(kMaxLineLength)) {
    done_ = true;
    line.clear();
    return false;
  }
  if (!line.empty() && line.front() == 's') {
    done_ = true;
    ended_on_s_ = true;
    line.clear();
    return false;
  }
  if (!saw_newline) done_ = true;  // last line without a line end
  return true;
}

int field_value(std::string_view text, bool* overflow) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  bool over = false;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (!over) {
      value = value * 10 + (c - '0');
      if (value > kMax) over = true;
    }
  }
  if (overflow != nullptr) *overflow = over;
  return over ? static_cast<int>(kMax) : static_cast<int>(value);
}

std::string field_decimal(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  size_t begin = 0;
  while (begin + 1 < end && text[begin] == '0') ++begin;
  if (end == 0) return "0";
  return std::string(text.substr(begin, end - begin));
}

}  // namespace vema
