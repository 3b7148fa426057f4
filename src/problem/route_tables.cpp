#include "problem/route_tables.h"

namespace vema {

const std::array<CountedArray<kSteps>, kGroups + 1> MG_TS = {{
    {0, 0, 0, 0, 0},
    {1, 1, 0, 0, 0},
    {1, 2, 0, 0, 0},
    {1, 3, 0, 0, 0},
    {1, 4, 0, 0, 0},
    {2, 1, 2, 0, 0},
    {2, 2, 3, 0, 0},
    {2, 3, 4, 0, 0},
    {3, 1, 2, 3, 0},
    {3, 2, 3, 4, 0},
    {4, 1, 2, 3, 4},
}};

const std::array<CountedArray<kMaxRouteLen>, kRoutes + 1> R_MG_ex = {{
    {0, 0, 0, 0, 0},  {4, 1, 2, 3, 4},  // 1
    {3, 1, 2, 7, 0},                    // 2
    {3, 1, 6, 4, 0},                    // 3
    {2, 1, 9, 0, 0},                    // 4
    {3, 5, 3, 4, 0},                    // 5
    {2, 5, 7, 0, 0},                    // 6
    {2, 8, 4, 0, 0},                    // 7
    {1, 10, 0, 0, 0},                   // 8
    {3, 1, 2, 3, 0},                    // 9
    {2, 1, 6, 0, 0},                    // 10
    {2, 5, 3, 0, 0},                    // 11
    {1, 8, 0, 0, 0},                    // 12
    {3, 2, 3, 4, 0},                    // 13
    {2, 2, 7, 0, 0},                    // 14
    {2, 6, 4, 0, 0},                    // 15
    {1, 9, 0, 0, 0},                    // 16
    {2, 1, 2, 0, 0},                    // 17
    {1, 5, 0, 0, 0},                    // 18
    {2, 2, 3, 0, 0},                    // 19
    {1, 6, 0, 0, 0},                    // 20
    {2, 3, 4, 0, 0},                    // 21
    {1, 7, 0, 0, 0},                    // 22
    {1, 1, 0, 0, 0},                    // 23
    {1, 2, 0, 0, 0},                    // 24
    {1, 3, 0, 0, 0},                    // 25
    {1, 4, 0, 0, 0},                    // 26
}};

const std::array<CountedArray<kMaxExeRoutes>, kGroups + 1> Exe_R = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 23, 0, 0, 0, 0, 0, 0, 0},
    {1, 24, 0, 0, 0, 0, 0, 0, 0},
    {1, 25, 0, 0, 0, 0, 0, 0, 0},
    {1, 26, 0, 0, 0, 0, 0, 0, 0},
    {2, 17, 18, 0, 0, 0, 0, 0, 0},
    {2, 19, 20, 0, 0, 0, 0, 0, 0},
    {2, 21, 22, 0, 0, 0, 0, 0, 0},
    {4, 9, 10, 11, 12, 0, 0, 0, 0},
    {4, 13, 14, 15, 16, 0, 0, 0, 0},
    {8, 1, 2, 3, 4, 5, 6, 7, 8},
}};

int group_code(int first_step, int last_step) {
  if (first_step < 1 || last_step > kSteps || last_step < first_step) return 0;
  // Codes by range length: singles 1..4, pairs 5..7, triples 8..9, all four 10.
  switch (last_step - first_step) {
    case 0:
      return first_step;
    case 1:
      return 4 + first_step;
    case 2:
      return 7 + first_step;
    default:
      return 10;
  }
}

}  // namespace vema
