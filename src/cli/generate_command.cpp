// vema generate: the problem generator from the command line.
#include <array>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "common/random.h"
#include "generator/generator.h"

namespace vema::cli {
namespace {

struct GenerateOptions {
  std::string out;
  bool one_stage = false;
  std::optional<uint64_t> seed;
  // One text per generator field, read as the window reads its edit fields.
  std::array<std::string, kGeneratorFieldCount> texts;
};

// For the basic method the name given with -o picks the filter entry: a name
// ending in .txt selects the text file entry, any other the input file entry.
int filter_entry(const std::string& path) { return has_extension(path, ".txt") ? 2 : 1; }

// Answers the save dialog with the file named by -o.
class NamedFileUi : public TerminalUi {
 public:
  explicit NamedFileUi(std::string path) : TerminalUi(std::cerr), path_(std::move(path)) {}
  std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& /*request*/) override {
    return SaveFileChoice{path_, filter_entry(path_)};
  }

 private:
  std::string path_;
};

std::string field_name(const char* label) {
  std::string name;
  for (const char* c = label; *c != '\0'; ++c) {
    if (*c == ' ' && (name.empty() || name.back() == ' ')) continue;
    name += *c;
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.pop_back();
  return name;
}

std::string help_text(size_t index) {
  const auto& rules = generator_field_rules();
  const GeneratorFieldRule& rule = rules[index];
  std::string help = field_name(rule.label);
  if (help == "Max. deviation" && index > 0) {
    help += " (%) of " + field_name(rules[index - 1].label);
  }
  return help + " [" + std::to_string(rule.leaving.min) + " - " + std::to_string(rule.leaving.max) +
         "]";
}

int run_generate(const GenerateOptions& o) {
  GeneratorParameters parameters;
  bool refused = false;
  const auto& rules = generator_field_rules();
  for (size_t i = 0; i < rules.size(); ++i) {
    if (const auto refusal = check_field_on_leaving(rules[i].field, o.texts[i])) {
      std::cerr << "vema: " << refusal->message << '\n';
      refused = true;
    } else {
      parameters.*rules[i].value = field_text_value(o.texts[i]);
    }
  }
  if (refused) return kExitUsage;

  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(o.seed);
  NamedFileUi ui(o.out);
  GenerationReport report;
  const int result = o.one_stage ? generate_one_stage(parameters, rng, ui, ".", &report)
                                 : generate_basic(parameters, rng, ui, ".", &report);
  if (result != kGenerateDone) {
    std::cerr << "vema: cannot write '" << report.path << "'" << std::endl;
    return 3;
  }
  std::cout << "Generated problem (" << (o.one_stage ? "Spec: one machine" : "Basic Method")
            << ") written to " << report.path << '\n'
            << "Machines: " << report.machines << '\n'
            << "Orders: " << report.orders << '\n'
            << "Setup types: " << report.setup_types << '\n'
            << "Jobs: " << report.jobs << '\n';
  return 0;
}

}  // namespace

void add_generate_command(CLI::App& app) {
  auto o = std::make_shared<GenerateOptions>();
  CLI::App* s = app.add_subcommand("generate", "Write a random scheduling problem");
  s->add_option("-o,--out", o->out,
                "Input file to write; the basic method replaces its extension by .sif, or by "
                ".txt when it ends in .txt")
      ->required();
  s->add_flag("--one-stage", o->one_stage,
              "Spec: one machine (technology step 1 only; the name is used unchanged)");
  add_seed_option(*s, o->seed);
  const auto& rules = generator_field_rules();
  for (size_t i = 0; i < rules.size(); ++i) {
    o->texts[i] = default_field_text(rules[i].field);
    s->add_option(std::string("--") + rules[i].option, o->texts[i], help_text(i))
        ->type_name("INT")
        ->capture_default_str();
  }
  s->callback([o] { throw CommandDone{run_generate(*o)}; });
}

}  // namespace vema::cli
