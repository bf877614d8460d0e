// The memory functions that the compiler calls for copies and fills of its own (structure
// assignments, zeroed arrays) even where the code calls none, which a program without the C
// runtime must bring itself. The string instructions do the work, so the compiler cannot
// turn a loop here back into a call of the function it is in.
#include <cstddef>

extern "C" {

void* memcpy(void* destination, void const* source, std::size_t count)
{
    void* to = destination;
    asm volatile("rep movsb" : "+D"(to), "+S"(source), "+c"(count) : : "memory");
    return destination;
}

void* memmove(void* destination, void const* source, std::size_t count)
{
    auto* to = static_cast<unsigned char*>(destination);
    auto const* from = static_cast<unsigned char const*>(source);
    if (to <= from || to >= from + count) {
        asm volatile("rep movsb" : "+D"(to), "+S"(from), "+c"(count) : : "memory");
    } else {
        // An overlap with the destination above the source: copied from the end down.
        to += count - 1;
        from += count - 1;
        asm volatile("std\n\trep movsb\n\tcld" : "+D"(to), "+S"(from), "+c"(count) : : "memory");
    }
    return destination;
}

void* memset(void* destination, int value, std::size_t count)
{
    void* to = destination;
    asm volatile("rep stosb" : "+D"(to), "+c"(count) : "a"(value) : "memory");
    return destination;
}

int memcmp(void const* first, void const* second, std::size_t count)
{
    auto const* a = static_cast<unsigned char const*>(first);
    auto const* b = static_cast<unsigned char const*>(second);
    for (; count; --count, ++a, ++b)
        if (*a != *b)
            return *a < *b ? -1 : 1;
    return 0;
}

} // extern "C"
