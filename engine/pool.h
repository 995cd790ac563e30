// A free-list allocator for the small objects the interpreter makes and drops at a high rate
// (variants with their shared-pointer control block). Each thread keeps its own lists, so no
// locking is needed; memory returns to the list, not to the system.
#pragma once

#include <cstddef>
#include <new>

namespace quoll {

template <size_t Size>
class FixedPool {
 public:
  static void* Allocate() {
    Node*& head = Head();
    if (head) {
      Node* n = head;
      head = n->next;
      return n;
    }
    return ::operator new(Size < sizeof(Node) ? sizeof(Node) : Size);
  }
  static void Release(void* p) {
    Node*& head = Head();
    auto* n = static_cast<Node*>(p);
    n->next = head;
    head = n;
  }

 private:
  struct Node {
    Node* next;
  };
  // The list is freed with the thread.
  struct List {
    Node* head = nullptr;
    ~List() {
      while (head) {
        Node* n = head;
        head = n->next;
        ::operator delete(n);
      }
    }
  };
  static Node*& Head() {
    thread_local List list;
    return list.head;
  }
};

// Allocator adaptor for std::allocate_shared: single objects come from FixedPool.
template <typename T>
struct PoolAllocator {
  using value_type = T;
  PoolAllocator() = default;
  template <typename U>
  PoolAllocator(const PoolAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n == 1) return static_cast<T*>(FixedPool<sizeof(T)>::Allocate());
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) noexcept {
    if (n == 1)
      FixedPool<sizeof(T)>::Release(p);
    else
      ::operator delete(p);
  }
  template <typename U>
  bool operator==(const PoolAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace quoll
