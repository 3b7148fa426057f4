// Reading a checked scheduling input file into a Problem, and the loading
// operation around it (dialog, check gate, read, derivations).
#pragma once

#include <istream>
#include <string>

#include "common/user_interface.h"
#include "problem/problem.h"

namespace vema {

// Loading results.
inline constexpr int kLoadDone = 1;
inline constexpr int kLoadCancelled = 0;
inline constexpr int kLoadRefused = -1;

// Reads the data lines of a stream that passed the check into a fresh
// problem and runs the derivations. The stream is left after the data (after
// the 's' line when there is one). Returns false when the data are not a
// complete problem, which a checked file never is; out is then unspecified.
bool read_input(std::istream& in, Problem& out);

// Loading steps after the dialog: remembers the path in input_file_name, runs
// the check gate, reads and derives. On kLoadDone the old problem has been
// released and replaced; otherwise it is left untouched.
int load_input_file(Problem& problem, UserInterface& ui, const std::string& path);

// The loading operation: shows the open dialog prepared by the caller, then
// load_input_file. *chosen_path receives the chosen path (when not null).
int load_input(Problem& problem, UserInterface& ui, const FileDialogRequest& dialog,
               std::string* chosen_path);

// Dialog filter the scheduler uses for input files.
extern const char* const kInputFileFilter;

}  // namespace vema
