// Schedule files (.sch) and released schedule files (.rsf).
#pragma once

#include <string>
#include <vector>

#include "common/user_interface.h"
#include "problem/problem.h"
#include "schedule/sch.h"

namespace vema {

// Results of the file operations: 1 done, 0 cancelled or bad format,
// -1 file cannot be opened or written.
inline constexpr int kFileDone = 1;
inline constexpr int kFileFormatError = 0;
inline constexpr int kFileCannotOpen = -1;

// The records the shop part of an input file is written from: slots
// 1..N_Machine of Machines and 1..N_Order of Orders (as far as they exist).
struct ShopRecords {
  int N_Machine;
  int N_Order;
  int N_SetupType;
  const std::vector<MACHINE>& Machines;
  const std::vector<ORDER>& Orders;
};

// Which pairs of a machine's setup matrix get a 140 line.
enum class SetupLines {
  // Every pair of the N_SetupType types, as stored, the 130 line announcing
  // N_SetupType * N_SetupType of them: a generated matrix.
  kEveryPair,
  // Every pair whose time is not -1 (at least one line): a loaded problem.
  kKnownPairs,
};

// Appends the shop in input-file form: the header "001", per machine its
// 100, 110, 120, 130 and 140 lines, per order its 200, 210 and 220 lines;
// machines, orders, steps and setup types 0-based, every line ended by '\n'.
void append_shop_text(std::string& out, const ShopRecords& shop, SetupLines setup_lines);

// The schedule's lines (1, 2, 3, 4) as text.
std::string schedule_file_text(const SCH& schedule);
// Shop data in input-file form, the 's' line, then the schedule's lines.
std::string released_schedule_text(const SCH& schedule, const Problem& problem);

// Write through a temporary file renamed over the target; 1 or -1.
int write_schedule_file(const std::string& path, const SCH& schedule);
int write_released_schedule_file(const std::string& path, const SCH& schedule,
                                 const Problem& problem);

// Reads a .sch (or the schedule part of a .rsf) into target for the loaded
// problem. 1 read; 0 format error or a schedule inconsistent with the
// problem or the target (target unchanged, *error names the first fault);
// -1 file not readable.
int import_sch(SCH& target, const std::string& path, const Problem& problem,
               std::string* error = nullptr);

// The name with everything from its last '.' cut and extension appended
// ("plan.txt" -> "plan.sch", "plan" -> "plan.sch").
std::string replace_extension(const std::string& name, const std::string& extension);

// "Export " and "Release Schedule": save dialog in program_folder, then write.
int export_sch(const SCH& schedule, UserInterface& ui, const std::string& program_folder);
int release(const SCH& schedule, const Problem& problem, UserInterface& ui,
            const std::string& program_folder);

}  // namespace vema
