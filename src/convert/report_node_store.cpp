// Memory of the report tree: pages carved into blocks, freed blocks reused.
#include <new>

#include "convert/report_nodes.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Freed blocks are poisoned so that a handle used after release is caught.
#define QV_POISON(block, bytes) ASAN_POISON_MEMORY_REGION(block, bytes)
#define QV_UNPOISON(block, bytes) ASAN_UNPOISON_MEMORY_REGION(block, bytes)
#else
#define QV_POISON(block, bytes) ((void)(block), (void)(bytes))
#define QV_UNPOISON(block, bytes) ((void)(block), (void)(bytes))
#endif

namespace qv {

NodeStore::~NodeStore() {
  while (pages_ != nullptr) {
    Page* next = pages_->next;
    QV_UNPOISON(pages_, kPageSize);
    ::operator delete(pages_);
    pages_ = next;
  }
  while (big_ != nullptr) {
    BigBlock* next = big_->links.next;
    ::operator delete(big_);
    big_ = next;
  }
}

void* NodeStore::Allocate(std::size_t bytes) {
  if (bytes > kLargestPooled) return AllocateBig(bytes);
  std::size_t rounded = (bytes + kGrain - 1) & ~(kGrain - 1);
  if (rounded == 0) rounded = kGrain;
  FreeBlock*& list = free_[rounded / kGrain - 1];
  if (list != nullptr) {
    FreeBlock* block = list;
    QV_UNPOISON(block, rounded);
    list = block->next;
    return block;
  }
  if (static_cast<std::size_t>(bumpEnd_ - bump_) < rounded) {
    return AllocateFromNewPage(rounded);
  }
  void* block = bump_;
  bump_ += rounded;
  QV_UNPOISON(block, rounded);
  return block;
}

void* NodeStore::AllocateFromNewPage(std::size_t rounded) {
  auto* page = static_cast<Page*>(::operator new(kPageSize));
  page->next = pages_;
  pages_ = page;
  char* start = reinterpret_cast<char*>(page + 1);
  bumpEnd_ = reinterpret_cast<char*>(page) + kPageSize;
  QV_POISON(start, static_cast<std::size_t>(bumpEnd_ - start));
  bump_ = start + rounded;
  QV_UNPOISON(start, rounded);
  return start;
}

void NodeStore::Free(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes > kLargestPooled) {
    FreeBig(block);
    return;
  }
  std::size_t rounded = (bytes + kGrain - 1) & ~(kGrain - 1);
  if (rounded == 0) rounded = kGrain;
  FreeBlock*& list = free_[rounded / kGrain - 1];
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = list;
  list = freed;
  QV_POISON(block, rounded);
}

void* NodeStore::AllocateBig(std::size_t bytes) {
  if (bytes > static_cast<std::size_t>(-1) / 2) throw std::bad_alloc();
  auto* header = static_cast<BigBlock*>(::operator new(sizeof(BigBlock) + bytes));
  header->links.prev = nullptr;
  header->links.next = big_;
  if (big_ != nullptr) big_->links.prev = header;
  big_ = header;
  return header + 1;
}

void NodeStore::FreeBig(void* block) noexcept {
  BigBlock* header = static_cast<BigBlock*>(block) - 1;
  if (header->links.prev != nullptr) {
    header->links.prev->links.next = header->links.next;
  } else {
    big_ = header->links.next;
  }
  if (header->links.next != nullptr) header->links.next->links.prev = header->links.prev;
  ::operator delete(header);
}

}  // namespace qv
