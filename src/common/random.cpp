#include "common/random.h"

#include <cstdio>
#include <ctime>

namespace vema {

int64_t SystemClock::now_seconds() const { return static_cast<int64_t>(std::time(nullptr)); }

std::string SystemClock::time_of_day() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace vema
