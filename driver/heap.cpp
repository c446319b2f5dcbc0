// The C++ allocation operators of the product image, over the C runtime's heap. The program
// allocates only small, short-lived blocks and is built without exceptions; a failed allocation
// ends the process, as an uncaught bad_alloc would, without pulling the C++ library's exception
// machinery and unwinder into the image.
#include <cstdlib>
#include <new>

namespace {
void* Allocate(std::size_t size) {
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr)
        std::abort();
    return block;
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
