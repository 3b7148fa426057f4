#include "reschedule/shop.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "problem/route_tables.h"

namespace vema {

namespace {

// Slots 1..count of source copied into a fresh array of count + 1 slots.
template <class Record, class Copy>
std::vector<Record> copy_array(const std::vector<Record>& source, int count, Copy copy) {
  const int n = std::max(0, std::min(count, static_cast<int>(source.size()) - 1));
  std::vector<Record> out(static_cast<size_t>(std::max(count, 0)) + 1);
  for (int i = 1; i <= n; ++i) copy(out[i], source[i]);
  return out;
}

}  // namespace

SHOP::SHOP(const SHOP& other) {
  copy_records(other.n_setup_types, other.orders, other.jobs, other.machines, other.sch,
               other.values);
}

SHOP& SHOP::operator=(const SHOP& other) {
  if (this != &other) {
    copy_records(other.n_setup_types, other.orders, other.jobs, other.machines, other.sch,
                 other.values);
  }
  return *this;
}

void SHOP::capture(int setup_types, const std::vector<ORDER>& from_orders,
                   const std::vector<JOB>& from_jobs, const std::vector<MACHINE>& from_machines,
                   const SCH& schedule, const OBJ_VALUE& from_values) {
  copy_records(setup_types, from_orders, from_jobs, from_machines, schedule, from_values);
}

void SHOP::copy_records(int setup_types, const std::vector<ORDER>& from_orders,
                        const std::vector<JOB>& from_jobs,
                        const std::vector<MACHINE>& from_machines, const SCH& schedule,
                        const OBJ_VALUE& from_values) {
  n_setup_types = setup_types;
  orders = copy_array(from_orders, schedule.n_orders,
                      [](ORDER& t, const ORDER& s) { copy_order(t, s); });
  jobs = copy_array(from_jobs, schedule.n_jobs, [](JOB& t, const JOB& s) { copy_job(t, s); });
  machines = copy_array(from_machines, schedule.n_machines,
                        [](MACHINE& t, const MACHINE& s) { copy_machine(t, s); });
  SCH fresh;
  fresh.copy_from(schedule);
  sch = std::move(fresh);
  values = OBJ_VALUE{};
  values.take_values(from_values);
}

void SHOP::restore(std::vector<ORDER>& to_orders, std::vector<JOB>& to_jobs,
                   std::vector<MACHINE>& to_machines, SCH& to_schedule) const {
  const auto bound = [](int count, size_t a, size_t b) {
    return std::max(0, std::min({count, static_cast<int>(a) - 1, static_cast<int>(b) - 1}));
  };
  const int n_o = bound(sch.n_orders, orders.size(), to_orders.size());
  for (int o = 1; o <= n_o; ++o) copy_order(to_orders[o], orders[o]);
  const int n_j = bound(to_schedule.n_jobs, jobs.size(), to_jobs.size());
  for (int j = 1; j <= n_j; ++j) copy_job(to_jobs[j], jobs[j]);
  const int n_m = bound(to_schedule.n_machines, machines.size(), to_machines.size());
  for (int m = 1; m <= n_m; ++m) copy_machine(to_machines[m], machines[m]);
  to_schedule.copy_from(sch);
}

void SHOP::destroy() {
  values = OBJ_VALUE{};
  jobs.clear();
  machines.clear();
  orders.clear();
  sch = SCH{};
  n_setup_types = 0;
}

void with_shop_records(SHOP& shop, const Problem& loaded,
                       const std::function<void(Problem&)>& use) {
  Problem view;
  view.N_Machine = shop.n_machines();
  view.N_Order = shop.n_orders();
  view.N_Job = shop.n_jobs();
  view.N_SetupType = shop.n_setup_types;
  view.MG_M = loaded.MG_M;
  view.input_file_name = loaded.input_file_name;
  view.Machines = std::move(shop.machines);
  view.Orders = std::move(shop.orders);
  view.Jobs = std::move(shop.jobs);
  // The records go back even when `use` throws.
  struct GiveBack {
    SHOP& shop;
    Problem& view;
    ~GiveBack() {
      shop.machines = std::move(view.Machines);
      shop.orders = std::move(view.Orders);
      shop.jobs = std::move(view.Jobs);
    }
  } give_back{shop, view};
  use(view);
}

void freeze_jobs(const SearchSolution& reference, std::vector<ORDER>& orders,
                 std::vector<JOB>& jobs, std::vector<MACHINE>& machines, int freeze_time) {
  const SearchSolution& r = reference;
  for (int o = 1; o <= r.n_orders() && o < static_cast<int>(orders.size()); ++o) {
    orders[o].frozen = 0;
  }
  for (int j = 1; j <= r.n_jobs(); ++j) {
    JOB& job = jobs[j];
    ORDER& order = orders[job.O_ID];
    auto freeze = std::make_unique<FREEZE_JOB>(order.allowed_machines);
    job.frozen_steps = 0;
    int last_frozen_group = 0;
    const int* a = r.assignment(j);
    const int* pos = r.position_of(j);
    for (int i = 1, k = route_length(a[0]); i <= k; ++i) {
      const int m = a[i];
      if (r.timing(m)[pos[i]].StartT > freeze_time) continue;
      order.frozen = 1;
      const int g = machines[m].group;
      std::vector<int>& list = freeze->group_machines[g];
      if (list.size() < 2) list.resize(2);  // the machine lies outside the order's list
      list[0] = 1;
      list[1] = m;
      job.frozen_steps = i;
      last_frozen_group = g;
    }
    const auto take_allowed = [&](int g) {
      freeze->group_machines[g] = order.allowed_machines[g];
      if (freeze->group_machines[g].empty()) freeze->group_machines[g].assign(1, 0);
    };
    if (job.frozen_steps == 0) {
      freeze->feasible_routes = order.R_feasible;
      for (int g = 1; g <= kGroups; ++g) take_allowed(g);
    } else {
      // Groups that start after the last frozen step stay open; the others
      // keep only their frozen machine, or nothing.
      const int last_step = last_group_step(last_frozen_group);
      for (int g = 1; g <= kGroups; ++g) {
        if (first_group_step(g) > last_step) take_allowed(g);
      }
      for (int i = 1; i <= order.R_feasible[0]; ++i) {
        const int route = order.R_feasible[i];
        bool open = true;
        for (int l = 1; l <= route_length(route) && open; ++l) {
          open = freeze->group_machines[R_MG_ex[route][l]][0] > 0;
        }
        if (open) freeze->feasible_routes[++freeze->feasible_routes[0]] = route;
      }
    }
    job.freeze = std::move(freeze);
  }
  for (int m = 1; m <= r.n_machines(); ++m) {
    const int n = r.sequence(m)[0];
    const TimingRecord* rec = r.timing(m);
    int frozen = 0;
    while (frozen < n && rec[frozen + 1].StartT <= freeze_time) ++frozen;
    machines[m].frozen_tasks = frozen;
  }
}

}  // namespace vema
