// Line and field reading shared by the input checker and the reader, so both
// see exactly the same lines and values.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace vema {

// Longest data line; a longer line ends the data as if the file ended there.
inline constexpr int kMaxLineLength = 124;

// Reads the data lines of a scheduling input file (or of the first part of a
// released schedule file). The stream must outlive the reader.
class InputLineReader {
 public:
  explicit InputLineReader(std::istream& in) : in_(in) {}

  // Reads the next data line without its line end (LF, or CR LF). Returns
  // false at the end of the data: end of file, a read failure, a line longer
  // than kMaxLineLength characters, or a line that starts with 's'.
  bool next(std::string& line);

  // True when the data ended on an 's' line (the rest of the stream follows it).
  bool ended_on_s_line() const { return ended_on_s_; }

 private:
  std::istream& in_;
  bool done_ = false;
  bool ended_on_s_ = false;
};

// Value of a field's text: the decimal value of its leading digits (0 when
// there are none). Values beyond the 32-bit range saturate at INT32_MAX and
// set *overflow when given.
int field_value(std::string_view text, bool* overflow = nullptr);

// The field's digits as a decimal number without leading zeros ("007" -> "7").
std::string field_decimal(std::string_view text);

}  // namespace vema
