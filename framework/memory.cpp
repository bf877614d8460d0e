// The programs are built without exceptions, so the heap reports a failure as a null pointer:
// a program asks for that with new (std::nothrow) and checks. Replacing the allocation
// functions also keeps the C++ runtime's exception machinery, a good part of a program's
// size, out of the programs.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, std::nothrow_t const&) noexcept
{
    return std::malloc(size ? size : 1);
}

// Code that cannot take a null pointer gets none: the program ends as a failed allocation
// would end it through an uncaught exception.
void* operator new(std::size_t size)
{
    if (void* block = std::malloc(size ? size : 1))
        return block;
    std::abort();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::nothrow_t const&) noexcept
{
    std::free(block);
}
