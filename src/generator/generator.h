// The problem generator: random flexible-flow-shop problems written as
// scheduling input files. It never touches a loaded problem.
#pragma once

#include <string>
#include <vector>

#include "common/random.h"
#include "common/user_interface.h"
#include "generator/generator_parameters.h"
#include "problem/records.h"

namespace vema {

// Results of a generation.
inline constexpr int kGenerateDone = 1;        // the file was written
inline constexpr int kGenerateCancelled = 0;   // the save dialog was cancelled
inline constexpr int kGenerateNotOpened = -1;  // the chosen file could not be written

// "Basic Method": machines in all ten machine groups and orders of all ten
// execution types. "Spec: one machine": one stage, step 1 only.
enum class GenerationMethod { kBasic, kOneStage };

// A generated problem in the program's 1-based numbering. Only the record
// fields the input file holds are filled (plus `group` of a machine).
struct GeneratedProblem {
  int N_Machine = 0;
  int N_Order = 0;
  int N_SetupType = 0;
  std::vector<MACHINE> Machines;  // N_Machine + 1 slots
  std::vector<ORDER> Orders;      // N_Order + 1 slots
  int jobs() const;               // sum of NJob over the orders
};

// The random model: uniform over the integers a - h .. a - h + w where
// x = a * d / 100, h = trunc(x), w = trunc(2x); exactly a (and no draw) when
// x < 1. Needs a * d / 100 well inside the int range, which the parameter
// ranges guarantee.
int spread(Random& rng, int a, int d);

// Seeds rng from its clock, then draws a whole problem. Parameters are used
// as given; out-of-range values make a problem the input checker refuses.
GeneratedProblem generate_problem(const GeneratorParameters& parameters, GenerationMethod method,
                                  Random& rng);

// The problem as a scheduling input file: header "001", machine blocks,
// order blocks, every line ended by '\n', no 's' line.
std::string input_file_text(const GeneratedProblem& problem);

// Save dialog settings of the two methods.
extern const char* const kGeneratorFileFilter;  // basic: input file first, text file second
extern const char* const kOneStageFileFilter;
extern const char* const kGeneratorFileName;  // proposed name "input_data.txt"

// The basic method's output name: the chosen name without its extension (the
// part from the last '.' after the last path separator) plus ".sif" when
// filter entry 1 was selected, ".txt" otherwise.
std::string basic_output_name(const std::string& chosen, int filter_index);

// What a generation wrote (or, when the file could not be written, would
// have written), for callers that report it.
struct GenerationReport {
  std::string path;
  int machines = 0;
  int orders = 0;
  int setup_types = 0;
  int jobs = 0;
};

// The two generation methods: draw the problem, ask for the file through the
// save dialog (starting in program_folder), write it. Return kGenerateDone,
// kGenerateCancelled or kGenerateNotOpened; show no message. A failed write
// leaves any existing file at the path unchanged. The report is filled
// unless the dialog was cancelled.
int generate_basic(const GeneratorParameters& parameters, Random& rng, UserInterface& ui,
                   const std::string& program_folder, GenerationReport* report = nullptr);
int generate_one_stage(const GeneratorParameters& parameters, Random& rng, UserInterface& ui,
                       const std::string& program_folder, GenerationReport* report = nullptr);

}  // namespace vema
