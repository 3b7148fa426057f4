// The one loaded scheduling problem: records, derived tables and the
// assignment workspace. The application owns one Problem and passes it by
// reference; tests create as many as they need. Owns every array it holds.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "problem/records.h"

namespace vema {

// J_A row: element 0 the route, elements 1..4 the machine of each route position.
using JobAssignment = std::array<int, kMaxRouteLen + 1>;

class Problem {
 public:
  // Counts from the header line; N_Job is derived. Kept after release_problem.
  int N_Machine = 0;
  int N_Order = 0;
  int N_SetupType = 0;
  int N_Job = 0;

  std::vector<MACHINE> Machines;  // N_Machine + 1 slots
  std::vector<ORDER> Orders;      // N_Order + 1 slots
  std::vector<JOB> Jobs;          // N_Job + 1 slots

  // MG_M[g], g = 1..10: machines of group g in ascending number.
  std::vector<CountedList> MG_M;
  // orders_of_type[t], t = 1..10: orders of execution type t in ascending number.
  std::vector<CountedList> orders_of_type;
  // J_A[j], j = 0..N_Job: route and machines of job j.
  std::vector<JobAssignment> J_A;
  // M_wload[m], m = 0..N_Machine: counted list of jobs on machine m, room for N_Job.
  std::vector<CountedList> M_wload;

  bool first_run = false;
  std::string input_file_name;

  // True once a problem has been built and not yet released.
  bool loaded() const { return !Machines.empty(); }

  // Frees everything loading built; counts keep their values. Safe to call
  // before any load and twice in a row.
  void release_problem();

  // The load-time derivations, in order: machine groups, execution types,
  // allowed machines, feasible routes, orders per type, jobs, assignment
  // workspace. Needs Machines and Orders read from the input.
  void derive();

  // The individual derivations (derive() runs them in this order).
  void derive_machine_groups();
  void derive_execution_types();
  void derive_allowed_machines();
  void derive_feasible_routes();
  void derive_orders_per_type();
  void derive_jobs();
  void derive_assignment_workspace();
};

}  // namespace vema
