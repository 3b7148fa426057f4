// Problems for the tests: read from input text, from a file or from the
// examples folder of the source tree, and machines with a given calendar.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "problem/input_reader.h"
#include "problem/problem.h"
#include "problem/records.h"

namespace vema::testing {

inline std::string example_path(const std::string& name) {
  return std::string(VEMA_SOURCE_DIR) + "/examples/" + name;
}

inline Problem problem_from_text(const std::string& text) {
  std::istringstream in(text);
  Problem p;
  EXPECT_TRUE(read_input(in, p)) << "the test problem does not read";
  return p;
}

// Reads the file and names it as the problem's input file.
inline Problem problem_from_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Problem p;
  EXPECT_TRUE(read_input(in, p)) << path << " does not read";
  p.input_file_name = path;
  return p;
}

inline Problem example_problem(const std::string& name) {
  return problem_from_file(example_path(name));
}

// A machine with only a calendar: the intervals in slots 1..N_Cal.
inline MACHINE machine_with(const std::vector<CAL_INTERVAL>& intervals) {
  MACHINE m;
  m.N_Cal = static_cast<int>(intervals.size());
  m.calendar.push_back({});
  m.calendar.insert(m.calendar.end(), intervals.begin(), intervals.end());
  return m;
}

}  // namespace vema::testing
