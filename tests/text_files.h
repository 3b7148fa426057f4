// Whole files and their pieces as text.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "common/text_file.h"

namespace vema::testing {

// The whole file; empty when it cannot be read.
inline std::string file_text(const std::string& path) {
  std::string text;
  if (!read_text_file(path, text)) return {};
  return text;
}

// The parts of text between the separators, an empty last part included when
// text ends with one ("a\nb\n" is "a", "b", "").
inline std::vector<std::string> split(const std::string& text, char by) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, by)) parts.push_back(part);
  if (!text.empty() && text.back() == by) parts.emplace_back();
  return parts;
}

}  // namespace vema::testing
