#include "problem/input_checker.h"

#include <array>
#include <fstream>
#include <string_view>

#include "problem/input_lines.h"

namespace vema {
namespace {

constexpr int kStoredFields = 10;

struct MachineTally {
  bool declared = false;
  bool calendar_declared = false;
  int n_cal = -1;
  int calendar_items = -1;
  int last_end = -1;
  bool setups_declared = false;
  int n_set = -1;
  int setup_items = -1;
  int start_step = -1;
  int end_step = -1;
};

struct OrderTally {
  bool declared = false;
  bool steps_declared = false;
  int n_step = -1;
  int step_items = -1;
  int n_job = 0;
};

// Field of a line as the rules see it: its value (-1 when empty, 0 when
// absent) and the decimal text that messages quote.
struct Field {
  int value = 0;
  std::string quote = "0";
};

std::string describe_character(std::string_view line, size_t pos) {
  const auto c = static_cast<unsigned char>(line[pos]);
  if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
  // A complete UTF-8 sequence is quoted as the character it encodes.
  int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra > 0 && pos + extra < line.size() + 0) {
    bool ok = true;
    for (int i = 1; i <= extra; ++i) {
      if ((static_cast<unsigned char>(line[pos + i]) & 0xC0) != 0x80) ok = false;
    }
    if (ok) return std::string(line.substr(pos, extra + 1));
  }
  static const char* kHex = "0123456789ABCDEF";
  return std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
}

class CheckRun {
 public:
  explicit CheckRun(InputCheckLists& lists) : lists_(lists) {}

  int run(std::istream& in) {
    lists_.clear();
    InputLineReader reader(in);
    std::string line;
    while (reader.next(line)) {
      ++n_;
      if (!check_line(line)) return kCheckErrors;
    }
    return end_of_file();
  }

 private:
  std::string at() const { return " -> line_" + std::to_string(n_); }
  void error(const std::string& text) { lists_.errors.push_back(text + at()); }
  void warning(const std::string& text) { lists_.warnings.push_back(text + at()); }

  // Scans one line; false when a rule stopped the run.
  bool check_line(std::string_view line) {
    bool identified = false;
    for (size_t i = 0; i <= line.size(); ++i) {
      const bool at_end = i == line.size();
      const char c = at_end ? '|' : line[i];
      if (!at_end && c != '|' && (c < '0' || c > '9')) {
        error("Illegal character: " + describe_character(line, i));
        return false;
      }
      if (c == '|' && !identified) {
        identified = true;
        if (!line_rules(line, line.substr(0, i))) return false;
      }
    }
    return true;
  }

  // Splits the whole line; reports empty, missing and extra fields.
  void split(std::string_view line, int count) {
    int k = 0;
    size_t start = 0;
    for (;;) {
      const size_t bar = line.find('|', start);
      const std::string_view text =
          line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
      ++k;
      if (k <= kStoredFields) {
        Field& f = fields_[k];
        if (text.empty()) {
          error("Empty field.");
          f.value = -1;
          f.quote = "-1";
        } else {
          bool overflow = false;
          f.value = field_value(text, &overflow);
          f.quote = overflow ? field_decimal(text) : std::to_string(f.value);
        }
      }
      if (bar == std::string_view::npos) break;
      start = bar + 1;
    }
    for (int i = k + 1; i <= kStoredFields; ++i) fields_[i] = Field{};
    if (k < count) error("Missing field.");
    if (k > count) error("Extra field.");
  }

  int v(int k) const { return fields_[k].value; }
  const std::string& q(int k) const { return fields_[k].quote; }

  bool line_rules(std::string_view line, std::string_view id_text) {
    const int id = field_value(id_text);
    if (n_ == 1 && (id_text.empty() || id != 1)) {
      error("Missing first line with 1 identifier.");
      return false;
    }
    if (id_text.empty()) return illegal_identifier(id_text);
    switch (id) {
      case 1:
        return header(line);
      case 100:
        return machine(line);
      case 110:
        return calendar_declaration(line);
      case 120:
        return calendar_item(line);
      case 130:
        return setup_declaration(line);
      case 140:
        return setup_item(line);
      case 200:
        return order(line);
      case 210:
        return step_declaration(line);
      case 220:
        return step_entry(line);
      default:
        return illegal_identifier(id_text);
    }
  }

  bool illegal_identifier(std::string_view id_text) {
    error("Illegal line identifier: " + std::string(id_text));
    return false;
  }

  bool machine_out_of_range(int k) {
    const int m = v(k);
    if (m < 0 || m > m_count_ - 1) {
      error("Out of range Machine_ID: " + q(k) + " (in " + std::to_string(k) + ". field)");
      return true;
    }
    return false;
  }

  bool order_out_of_range() {
    const int o = v(2);
    if (o < 0 || o > o_count_ - 1) {
      error("Out of range Order_ID: " + q(2) + " (in 2. field)");
      return true;
    }
    return false;
  }

  static bool step_out_of_range(int s) { return s < 0 || s > 3; }

  bool header(std::string_view line) {
    if (headers_ > 0) {
      error("Multiple declaration for line_ID = 1.");
      return false;
    }
    ++headers_;
    split(line, 4);
    static constexpr std::array<int, 5> kLimit = {0, 0, kMaxMachines, kMaxOrders, kMaxSetupTypes};
    for (int k = 1; k <= 4; ++k) {
      if (v(k) < 1 || (k >= 2 && v(k) > kLimit[k])) {
        error("Value is out of range: " + q(k) + " (in " + std::to_string(k) + ". field)");
        return false;
      }
    }
    m_count_ = v(2);
    o_count_ = v(3);
    s_count_ = v(4);
    machines_.assign(m_count_, MachineTally{});
    orders_.assign(o_count_, OrderTally{});
    return true;
  }

  bool machine(std::string_view line) {
    split(line, 5);
    const int m = v(2), a = v(4), b = v(5);
    if (b < a) {
      error("Wrong Step_ID at Machine " + q(2) + " (in 4. or 5. field)");
      return false;
    }
    if (step_out_of_range(a)) {
      error("Out of range StartStep at Machine " + q(2) + " (in 4. field)");
      return false;
    }
    if (step_out_of_range(b)) {
      error("Out of range EndStep at Machine " + q(2) + " (in 5. field)");
      return false;
    }
    if (machine_out_of_range(2)) return false;
    MachineTally& t = machines_[m];
    if (t.declared) {
      error("Multiple declaration of Machine: " + q(2));
      return false;
    }
    t.declared = true;
    if (v(3) < 1) error("Zero Speed of Machine " + q(2) + " (in 3. field)");
    t.start_step = a;
    t.end_step = b;
    return true;
  }

  bool calendar_declaration(std::string_view line) {
    split(line, 3);
    if (machine_out_of_range(2)) return false;
    const int m = v(2);
    MachineTally& t = machines_[m];
    if (t.calendar_declared) {
      error("Multiple declaration of Calendar at Machine: " + q(2));
      return false;
    }
    t.calendar_declared = true;
    if (!t.declared) {
      error("Missing declaration of Machine " + q(2) + ".");
      return false;
    }
    if (v(3) < 1) {
      error("Zero calendar elements at Machine : " + q(2) + " (in 3. field)");
      return false;
    }
    t.n_cal = v(3);
    t.calendar_items = 0;
    if (m >= 1) {
      const MachineTally& p = machines_[m - 1];
      if (p.calendar_items < p.n_cal) {
        error("Missing calendar item at Machine " + std::to_string(m - 1));
        return false;
      }
      if (p.setup_items < p.n_set) {
        error("Missing setup item at Machine " + std::to_string(m - 1));
        return false;
      }
    }
    return true;
  }

  bool calendar_item(std::string_view line) {
    split(line, 4);
    if (machine_out_of_range(2)) return false;
    MachineTally& t = machines_[v(2)];
    if (!t.calendar_declared) {
      error("Missing declaration of Calendar at Machine " + q(2));
      return false;
    }
    if (!t.declared) {
      error("Missing declaration of Machine " + q(2) + ".");
      return false;
    }
    if (++t.calendar_items > t.n_cal) {
      error("Extra calendar item at Machine " + q(2));
      return false;
    }
    const int st = v(3), et = v(4);
    if (st >= et) {
      error("Invalid calendar item at Machine " + q(2));
      return false;
    }
    if (t.calendar_items >= 2 && st <= t.last_end) {
      error("Overlapped calendar item at Machine " + q(2));
      return false;
    }
    t.last_end = et;
    return true;
  }

  bool setup_declaration(std::string_view line) {
    split(line, 3);
    if (machine_out_of_range(2)) return false;
    MachineTally& t = machines_[v(2)];
    if (t.setups_declared) {
      error("Multiple declaration of Setups at Machine: " + q(2));
      return false;
    }
    t.setups_declared = true;
    if (!t.declared) {
      error("Missing declaration of Machine " + q(2) + ".");
      return false;
    }
    if (v(3) < 1) {
      error("Zero setup elements at Machine : " + q(2) + " (in 3. field)");
      return false;
    }
    t.n_set = v(3);
    t.setup_items = 0;
    if (t.calendar_items < t.n_cal) {
      error("Missing calendar item at Machine " + q(2));
      return false;
    }
    return true;
  }

  bool setup_type_out_of_range(int k) {
    if (v(k) < 0 || v(k) > s_count_ - 1) {
      error("Out of range Setup_ID: " + q(k) + " (in " + std::to_string(k) + ". field)");
      return true;
    }
    return false;
  }

  bool setup_item(std::string_view line) {
    split(line, 5);
    if (machine_out_of_range(2)) return false;
    MachineTally& t = machines_[v(2)];
    if (!t.setups_declared) {
      error("Missing declaration of Setups at Machine: " + q(2));
      return false;
    }
    if (!t.declared) {
      error("Missing declaration of Machine " + q(2) + ".");
      return false;
    }
    if (setup_type_out_of_range(3) || setup_type_out_of_range(4)) return false;
    if (v(3) == v(4) && v(5) != 0) {
      error("Missing zero setup time at Machine " + q(2) + " (in 5. field)");
      return false;
    }
    if (++t.setup_items > t.n_set) {
      error("Extra setup item at Machine " + q(2));
      return false;
    }
    return true;
  }

  bool order(std::string_view line) {
    split(line, 9);
    if (order_out_of_range()) return false;
    OrderTally& t = orders_[v(2)];
    if (t.declared) {
      error("Multiple declaration of Order: " + q(2));
      return false;
    }
    t.declared = true;
    const int cet = v(3), cst = v(4), njob = v(5), sjob = v(6), a = v(7), b = v(8);
    if (cst >= cet) warning("Zero Time Window of Order " + q(2) + " (in 3. or 4. field)");
    if (njob < 1 || njob > kMaxJobsPerOrder) {
      error("Out of range Number of Jobs: " + q(5) + " (in 5. field)");
    } else {
      t.n_job = njob;
    }
    if (sjob < 1) error("Out of range Size of Jobs: " + q(6) + " (in 6. field)");
    if (b < a) error("Wrong Step_ID at Order " + q(2) + " (in 7. or 8. field)");
    if (step_out_of_range(a)) error("Out of range StartStep at Order " + q(2) + " (in 7. field)");
    if (step_out_of_range(b)) error("Out of range EndStep at Order " + q(2) + " (in 8. field)");
    return !setup_type_out_of_range(9);
  }

  bool step_declaration(std::string_view line) {
    split(line, 3);
    if (order_out_of_range()) return false;
    OrderTally& t = orders_[v(2)];
    if (t.steps_declared) {
      error("Multiple declaration of Steps at Order " + q(2));
      return false;
    }
    t.steps_declared = true;
    if (!t.declared) {
      error("Missing declaration of Order " + q(2) + ".");
      return false;
    }
    if (v(3) < 1) {
      error("Invalid number of steps at Order " + q(2) + " (in 3. field)");
      return false;
    }
    t.n_step = v(3);
    t.step_items = 0;
    return true;
  }

  bool step_entry(std::string_view line) {
    split(line, 5);
    if (order_out_of_range()) return false;
    OrderTally& t = orders_[v(2)];
    if (!t.declared) {
      error("Missing declaration of Order" + q(2) + ".");
      return false;
    }
    const int s = v(3), e = v(4);
    if (e < s) error("Wrong Step_ID at Order " + q(2) + " (in 3. or 4. field)");
    if (step_out_of_range(s)) error("Out of range StartStep at Order " + q(2) + " (in 3. field)");
    if (step_out_of_range(e)) error("Out of range EndStep at Order " + q(2) + " (in 4. field)");
    if (machine_out_of_range(5)) return false;
    const MachineTally& m = machines_[v(5)];
    if (!m.declared) {
      error("Undefined Machine " + q(5) + " at Order " + q(2) + " (in 5. field)");
      return false;
    }
    if (m.start_step != s) {
      error("Machine mismatch at Order " + q(2) + " (in 3. field)");
      return false;
    }
    if (m.end_step != e) {
      error("Machine mismatch at Order " + q(2) + " (in 4. field)");
      return false;
    }
    if (!t.steps_declared) {
      error("Missing declaration of steps at Order " + q(2));
      return false;
    }
    if (++t.step_items > t.n_step) {
      error("Extra step item at Order " + q(2));
      return false;
    }
    return true;
  }

  int end_of_file() {
    if (n_ == 0) {
      error("Input file is empty.");
      return kCheckErrors;
    }
    for (int k = 0; k < m_count_; ++k) {
      const MachineTally& t = machines_[k];
      const std::string id = std::to_string(k);
      if (!t.declared) error("Missing declaration of Machine " + id + ".");
      if (!t.setups_declared) error("Missing declaration of Setup at Machine " + id + ".");
      if (!t.calendar_declared) error("Missing declaration of Calendar at Machine " + id + ".");
      if (t.calendar_items < t.n_cal) error("Missing Calendar item at Machine " + id + ".");
      if (t.setup_items < t.n_set) error("Missing Setup item at Machine " + id + ".");
    }
    long long jobs = 0;
    for (int k = 0; k < o_count_; ++k) {
      const OrderTally& t = orders_[k];
      const std::string id = std::to_string(k);
      if (!t.declared) {
        error("Missing declaration of Order " + id + ".");
        return kCheckErrors;
      }
      if (!t.steps_declared) {
        error("Missing declaration of Steps at Order " + id + ".");
        return kCheckErrors;
      }
      if (t.step_items < t.n_step) error("Missing Step at Order " + id + ".");
      jobs += t.n_job;
    }
    const long long setup_cells =
        static_cast<long long>(m_count_) * (s_count_ + 1) * (s_count_ + 1);
    const long long workload_cells = (static_cast<long long>(m_count_) + 1) * (jobs + 1);
    if (setup_cells > kMaxWorkspaceCells || workload_cells > kMaxWorkspaceCells) {
      error("Problem is too large: " + std::to_string(m_count_) + " machines, " +
            std::to_string(jobs) + " jobs, " + std::to_string(s_count_) + " setup types.");
    }
    if (!lists_.errors.empty()) return kCheckErrors;
    if (!lists_.warnings.empty()) return kCheckWarnings;
    return kCheckClean;
  }

  InputCheckLists& lists_;
  int n_ = 0;
  int headers_ = 0;
  int m_count_ = 0;
  int o_count_ = 0;
  int s_count_ = 0;
  std::vector<MachineTally> machines_;
  std::vector<OrderTally> orders_;
  std::array<Field, kStoredFields + 1> fields_{};
};

}  // namespace

int check_input_stream(std::istream& in, InputCheckLists& lists) {
  CheckRun run(lists);
  return run.run(in);
}

int check_input(const std::string& path, InputCheckLists& lists) {
  lists.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return kCheckNotOpened;
  return check_input_stream(in, lists);
}

}  // namespace vema
