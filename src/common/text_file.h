// Writing whole text files safely.
#pragma once

#include <string>

namespace vema {

// Writes text to path through a temporary file in the same folder that is
// renamed over the target, so a failure never leaves a half-written file where
// a good one stood. Returns false (target unchanged) on any failure.
bool write_text_file_atomically(const std::string& path, const std::string& text);

// Reads a whole file; false when it cannot be opened.
bool read_text_file(const std::string& path, std::string& text);

}  // namespace vema
