// The tabu list: a first-in, first-out memory of recently generated
// solutions, each remembered by its machine sequences only. Entries carry a
// 64-bit hash of their sequences, so a membership test compares sequences
// only when the hashes agree. Removed entries keep their storage for reuse;
// the list owns every entry.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "search/search_solution.h"

namespace vema {

// Hash of a solution's machine sequences (counts and jobs of machines 1..M).
uint64_t sequence_hash(const SearchSolution& s);

// One remembered solution.
struct TABU {
  int n_machines = 0;
  uint64_t hash = 0;
  // Machines 1..n_machines in order, each as its count followed by its jobs.
  std::vector<int> sequences;
  TABU* next = nullptr;  // next older entry
  TABU* prev = nullptr;  // next newer entry

  // Takes the machine sequences of s (reusing this entry's storage).
  void take(const SearchSolution& s, uint64_t sequences_hash);
  bool matches(const SearchSolution& s) const;
};

class TABULIST {
 public:
  TABULIST() = default;
  ~TABULIST() = default;
  TABULIST(const TABULIST&) = delete;
  TABULIST& operator=(const TABULIST&) = delete;

  // A new entry holding s's sequences, made from recycled storage when there is some.
  TABU* make_entry(const SearchSolution& s);
  // As make_entry, with the hash already computed for s.
  TABU* make_entry(const SearchSolution& s, uint64_t hash);
  // Makes entry (from make_entry) the newest.
  void add(TABU* entry);
  // Adds the solution as the newest entry, then drops old entries while the
  // list is over capacity, at most two: at capacity the list keeps its size,
  // above it (the capacity was lowered) it shrinks by one per addition.
  void remember(const SearchSolution& s, uint64_t hash, int capacity);
  // Drops the oldest entry; nothing when empty.
  void remove_oldest();
  bool contains(const SearchSolution& s) const { return contains(s, sequence_hash(s)); }
  bool contains(const SearchSolution& s, uint64_t hash) const;

  const TABU* head() const { return head_; }
  const TABU* tail() const { return tail_; }
  int count() const { return count_; }

 private:
  TABU* head_ = nullptr;
  TABU* tail_ = nullptr;
  int count_ = 0;
  std::vector<std::unique_ptr<TABU>> storage_;  // every entry ever made
  std::vector<TABU*> free_;                     // removed entries ready for reuse
};

}  // namespace vema
