// The programs are built without exceptions, so the heap reports a failure as a null pointer:
// a program asks for that with new (std::nothrow) and checks. Replacing the allocation
// functions also keeps the C++ runtime's exception machinery, a good part of a program's
// size, out of the programs, and the blocks come from the process heap, which every Windows
// has, without a C runtime in between.
#include <windows.h>

#include <new>

namespace {

void* Allocate(std::size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void Release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

} // namespace

void* operator new(std::size_t size, std::nothrow_t const&) noexcept
{
    return Allocate(size);
}

// Code that cannot take a null pointer gets none: the program ends as a failed allocation
// would end it through an uncaught exception, with abort's exit code 3.
void* operator new(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    ExitProcess(3);
}

void operator delete(void* block) noexcept
{
    Release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}

void operator delete(void* block, std::nothrow_t const&) noexcept
{
    Release(block);
}
