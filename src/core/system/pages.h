#pragma once

#include <cstddef>

namespace globeview {

// Memory taken straight from the kernel, in whole pages, zeroed. A large block is placed on a
// 2 MiB boundary with the kernel asked to back it with large pages where it can: one page fault
// instead of 512, each of which costs about 10 us on a virtual machine. For the point table, the
// coastline file being read and the picture, that is most of what one run of globeview-render
// would otherwise spend.
class PageBlock {
 public:
  PageBlock() = default;
  // Throws std::bad_alloc when the kernel gives no memory.
  explicit PageBlock(std::size_t bytes);
  ~PageBlock();
  PageBlock(PageBlock&& other) noexcept;
  PageBlock& operator=(PageBlock&& other) noexcept;
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;

  char* Data() const { return data_; }
  // At least the bytes asked for.
  std::size_t Size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace globeview
