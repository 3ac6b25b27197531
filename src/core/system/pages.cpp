#include "system/pages.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace globeview {
namespace {

constexpr std::size_t kPage = std::size_t{4} << 10;
constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Below this a large page would zero far more than is asked for.
constexpr std::size_t kWorthALargePage = kLargePage / 4;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

}  // namespace

PageBlock::PageBlock(std::size_t bytes) {
  if (bytes == 0) return;
  if (bytes < kWorthALargePage) {
    size_ = RoundUp(bytes, kPage);
    void* mapped =
        ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(mapped);
    return;
  }
  size_ = RoundUp(bytes, kLargePage);
  // One large page more than needed, then the ends trimmed so the block starts on a boundary.
  void* mapped = ::mmap(nullptr, size_ + kLargePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* raw = static_cast<char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t lead = (kLargePage - address % kLargePage) % kLargePage;
  if (lead > 0) ::munmap(raw, lead);
  if (kLargePage - lead > 0) ::munmap(raw + lead + size_, kLargePage - lead);
  data_ = raw + lead;
  ::madvise(data_, size_, MADV_HUGEPAGE);
}

PageBlock::~PageBlock() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

PageBlock::PageBlock(PageBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PageBlock& PageBlock::operator=(PageBlock&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) ::munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace globeview
