// libFuzzer target: any bytes through the checker, and through the reader
// whenever the checker lets them pass.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "problem/input_checker.h"
#include "problem/input_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream check_stream(text);
  vema::InputCheckLists lists;
  const int result = vema::check_input_stream(check_stream, lists);
  if (result == vema::kCheckClean || result == vema::kCheckWarnings) {
    std::istringstream read_stream(text);
    vema::Problem problem;
    if (!vema::read_input(read_stream, problem)) __builtin_trap();  // a passed file must read
  }
  return 0;
}
