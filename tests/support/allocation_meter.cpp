#include "support/allocation_meter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void* Counted(void* p) {
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t now = live.fetch_add(::malloc_usable_size(p)) + ::malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  live.fetch_sub(::malloc_usable_size(p));
  std::free(p);
}

std::size_t Rounded(std::size_t size, std::size_t alignment) { return (size + alignment - 1) / alignment * alignment; }

}  // namespace

namespace vesk::testing {

std::size_t LiveHeapBytes() { return live.load(); }
std::size_t PeakHeapBytes() { return peak.load(); }
void ResetHeapPeak() { peak.store(live.load()); }

}  // namespace vesk::testing

void* operator new(std::size_t size) { return Counted(std::malloc(size == 0 ? 1 : size)); }
void* operator new[](std::size_t size) { return Counted(std::malloc(size == 0 ? 1 : size)); }
void* operator new(std::size_t size, std::align_val_t a) {
  const auto alignment = static_cast<std::size_t>(a);
  return Counted(std::aligned_alloc(alignment, Rounded(size == 0 ? 1 : size, alignment)));
}
void* operator new[](std::size_t size, std::align_val_t a) { return operator new(size, a); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
