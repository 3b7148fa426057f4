// vema: the command-line front end of VEMA Scheduler.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  using namespace vema::cli;
  CLI::App app{
      "VEMA Scheduler command line: check, load, schedule and evaluate flexible flow "
      "shop problems",
      "vema"};
  app.require_subcommand(1);
  add_problem_commands(app);
  add_schedule_commands(app);
  add_solve_command(app);
  add_start_commands(app);
  add_generate_command(app);
  add_perftest_command(app);
  add_reschedule_command(app);
  try {
    app.parse(argc, argv);
  } catch (const CommandDone& done) {
    return done.status;
  } catch (const UsageError& e) {
    std::cerr << "vema: " << e.message << std::endl;
    return kExitUsage;
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "vema: " << e.what() << " (see 'vema --help')" << std::endl;
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << "vema: " << e.what() << std::endl;
    return 70;
  }
  return kExitUsage;
}
