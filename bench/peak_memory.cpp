// SPDX-License-Identifier: MIT
// Counts the heap in use through malloc_usable_size, which glibc answers for
// every block, so that sized and unsized deletes balance alike.
#include "bench/peak_memory.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> in_use{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> base{0};

void record(void* block) {
  const std::size_t now = in_use.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}
}  // namespace

void reset_peak_memory() {
  base = in_use.load();
  peak = base.load();
}

std::size_t peak_memory_growth() { return peak.load() - base.load(); }

void* operator new(std::size_t size) {
  void* block = std::malloc(std::max<std::size_t>(size, 1));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  record(block);
  return block;
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept {
  if (block != nullptr) {
    in_use.fetch_sub(malloc_usable_size(block));
    std::free(block);
  }
}
void operator delete[](void* block) noexcept { ::operator delete(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { ::operator delete(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { ::operator delete(block); }

// The bit vectors' storage asks for whole cache lines.
void* operator new(std::size_t size, std::align_val_t alignment) {
  const auto align = static_cast<std::size_t>(alignment);
  void* block =
      std::aligned_alloc(align, (std::max<std::size_t>(size, 1) + align - 1) / align * align);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  record(block);
  return block;
}
void operator delete(void* block, std::align_val_t /*alignment*/) noexcept {
  ::operator delete(block);
}
void operator delete(void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  ::operator delete(block);
}
