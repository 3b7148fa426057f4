#include "search/tabu_list.h"

namespace vema {

uint64_t sequence_hash(const SearchSolution& s) {
  // Four independent lanes keep the multiply chains short; each lane mixes
  // (value, index) so that a reordering changes the hash.
  constexpr uint64_t kMul = 0x9E3779B97F4A7C15ULL;
  uint64_t lane[4] = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL, 0xA4093822299F31D0ULL,
                      0x082EFA98EC4E6C89ULL};
  uint64_t index = 0;
  for (int m = 1; m <= s.n_machines(); ++m) {
    const int* seq = s.sequence(m);
    const int n = seq[0];
    int p = 0;
    for (; p + 3 <= n; p += 4) {
      for (int k = 0; k < 4; ++k) {
        lane[k] =
            (lane[k] ^ (static_cast<uint64_t>(static_cast<uint32_t>(seq[p + k])) + (index << 32))) *
            kMul;
      }
      index += 4;
    }
    for (; p <= n; ++p) {
      lane[0] =
          (lane[0] ^ (static_cast<uint64_t>(static_cast<uint32_t>(seq[p])) + (index << 32))) * kMul;
      ++index;
    }
  }
  uint64_t h = lane[0] ^ (lane[1] * 3) ^ (lane[2] * 5) ^ (lane[3] * 7);
  h ^= h >> 31;
  h *= kMul;
  h ^= h >> 29;
  return h;
}

void TABU::take(const SearchSolution& s, uint64_t sequences_hash) {
  n_machines = s.n_machines();
  hash = sequences_hash;
  sequences.clear();
  for (int m = 1; m <= n_machines; ++m) {
    const int* seq = s.sequence(m);
    sequences.insert(sequences.end(), seq, seq + seq[0] + 1);
  }
  next = nullptr;
  prev = nullptr;
}

bool TABU::matches(const SearchSolution& s) const {
  if (n_machines != s.n_machines()) return false;
  // Counts of all machines first, then the jobs position by position.
  size_t at = 0;
  for (int m = 1; m <= n_machines; ++m) {
    const int n = s.sequence(m)[0];
    if (sequences[at] != n) return false;
    at += static_cast<size_t>(n) + 1;
  }
  at = 0;
  for (int m = 1; m <= n_machines; ++m) {
    const int* seq = s.sequence(m);
    const int n = seq[0];
    for (int p = 1; p <= n; ++p) {
      if (sequences[at + p] != seq[p]) return false;
    }
    at += static_cast<size_t>(n) + 1;
  }
  return true;
}

TABU* TABULIST::make_entry(const SearchSolution& s) { return make_entry(s, sequence_hash(s)); }

TABU* TABULIST::make_entry(const SearchSolution& s, uint64_t hash) {
  TABU* entry;
  if (!free_.empty()) {
    entry = free_.back();
    free_.pop_back();
  } else {
    storage_.push_back(std::make_unique<TABU>());
    entry = storage_.back().get();
  }
  entry->take(s, hash);
  return entry;
}

void TABULIST::add(TABU* entry) {
  entry->prev = nullptr;
  entry->next = head_;
  if (head_ != nullptr) head_->prev = entry;
  head_ = entry;
  if (tail_ == nullptr) tail_ = entry;
  ++count_;
}

void TABULIST::remember(const SearchSolution& s, uint64_t hash, int capacity) {
  add(make_entry(s, hash));
  if (count_ > capacity) remove_oldest();
  if (count_ > capacity) remove_oldest();
}

void TABULIST::remove_oldest() {
  if (tail_ == nullptr) return;
  TABU* old = tail_;
  if (tail_ == head_) {
    head_ = tail_ = nullptr;
    count_ = 0;
  } else {
    tail_ = old->prev;
    tail_->next = nullptr;
    --count_;
  }
  old->next = old->prev = nullptr;
  free_.push_back(old);
}

bool TABULIST::contains(const SearchSolution& s, uint64_t hash) const {
  for (const TABU* e = head_; e != nullptr; e = e->next) {
    if (e->hash == hash && e->matches(s)) return true;
  }
  return false;
}

}  // namespace vema
