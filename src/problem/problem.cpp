#include "problem/problem.h"

namespace vema {

void Problem::release_problem() {
  M_wload.clear();
  M_wload.shrink_to_fit();
  J_A.clear();
  J_A.shrink_to_fit();
  Jobs.clear();
  Jobs.shrink_to_fit();
  orders_of_type.clear();
  orders_of_type.shrink_to_fit();
  MG_M.clear();
  MG_M.shrink_to_fit();
  Machines.clear();
  Machines.shrink_to_fit();
  Orders.clear();
  Orders.shrink_to_fit();
}

void Problem::derive() {
  derive_machine_groups();
  derive_execution_types();
  derive_allowed_machines();
  derive_feasible_routes();
  derive_orders_per_type();
  derive_jobs();
  derive_assignment_workspace();
}

void Problem::derive_machine_groups() {
  std::array<int, kGroups + 1> per_group{};
  for (int m = 1; m <= N_Machine; ++m) {
    MACHINE& machine = Machines[m];
    machine.group = group_code(machine.StartStep, machine.EndStep);
    machine.ready_time = 0;
    ++per_group[machine.group];
  }
  MG_M.assign(kGroups + 1, CountedList{});
  for (int g = 1; g <= kGroups; ++g) {
    MG_M[g].assign(per_group[g] + 1, 0);
  }
  for (int m = 1; m <= N_Machine; ++m) {
    CountedList& list = MG_M[Machines[m].group];
    list[++list[0]] = m;
  }
}

void Problem::derive_execution_types() {
  for (int o = 1; o <= N_Order; ++o) {
    ORDER& order = Orders[o];
    order.ExeType = group_code(order.StartStep, order.EndStep);
    for (int k = 1; k <= order.N_Step; ++k) {
      ORDER_STEP& step = order.steps[k];
      step.group = group_code(step.SS, step.ES);
    }
  }
}

void Problem::derive_allowed_machines() {
  for (int o = 1; o <= N_Order; ++o) {
    ORDER& order = Orders[o];
    std::array<int, kGroups + 1> per_group{};
    for (int k = 1; k <= order.N_Step; ++k) ++per_group[order.steps[k].group];
    for (int g = 1; g <= kGroups; ++g) order.allowed_machines[g].assign(per_group[g] + 1, 0);
    for (int k = 1; k <= order.N_Step; ++k) {
      CountedList& list = order.allowed_machines[order.steps[k].group];
      list[++list[0]] = order.steps[k].M_ID;
    }
  }
}

void Problem::derive_feasible_routes() {
  for (int o = 1; o <= N_Order; ++o) {
    ORDER& order = Orders[o];
    order.R_feasible.fill(0);
    const auto& routes = Exe_R[order.ExeType];
    for (int i = 1; i <= routes[0]; ++i) {
      const int r = routes[i];
      bool feasible = true;
      for (int l = 1; l <= R_MG_ex[r][0]; ++l) {
        if (order.allowed_machines[R_MG_ex[r][l]][0] == 0) {
          feasible = false;
          break;
        }
      }
      if (feasible) order.R_feasible[++order.R_feasible[0]] = r;
    }
  }
}

void Problem::derive_orders_per_type() {
  std::array<int, kGroups + 1> per_type{};
  for (int o = 1; o <= N_Order; ++o) ++per_type[Orders[o].ExeType];
  orders_of_type.assign(kGroups + 1, CountedList{});
  for (int t = 1; t <= kGroups; ++t) orders_of_type[t].assign(per_type[t] + 1, 0);
  for (int o = 1; o <= N_Order; ++o) {
    CountedList& list = orders_of_type[Orders[o].ExeType];
    list[++list[0]] = o;
  }
}

void Problem::derive_jobs() {
  long long total = 0;
  for (int o = 1; o <= N_Order; ++o) total += Orders[o].NJob;
  N_Job = static_cast<int>(total);
  Jobs.assign(static_cast<size_t>(N_Job) + 1, JOB{});
  int next = 1;
  for (int o = 1; o <= N_Order; ++o) {
    ORDER& order = Orders[o];
    order.FirstJob = next;
    for (int i = 1; i <= order.NJob; ++i, ++next) {
      JOB& job = Jobs[next];
      job.Job_ID = next;
      job.O_ID = o;
      job.O_i = i;
    }
  }
}

void Problem::derive_assignment_workspace() {
  M_wload.assign(static_cast<size_t>(N_Machine) + 1,
                 CountedList(static_cast<size_t>(N_Job) + 1, 0));
  J_A.assign(static_cast<size_t>(N_Job) + 1, JobAssignment{});
}

}  // namespace vema
