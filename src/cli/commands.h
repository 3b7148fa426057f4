// The commands of the vema tool. Each returns the process exit status.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace vema::cli {

inline constexpr int kExitUsage = 64;

// Thrown by a command's callback to end parsing with its exit status.
struct CommandDone {
  int status;
};

// Usage errors found after parsing (values out of range and the like).
struct UsageError {
  std::string message;
};

void add_problem_commands(CLI::App& app);
void add_schedule_commands(CLI::App& app);
void add_solve_command(CLI::App& app);
void add_start_commands(CLI::App& app);  // start, enumerate
void add_generate_command(CLI::App& app);
void add_perftest_command(CLI::App& app);
void add_reschedule_command(CLI::App& app);

}  // namespace vema::cli
