#include "joinpath.h"

#include <cstring>

bool JoinPath(PathBuffer& path, char const* first, char const* second)
{
    std::size_t const firstLength = lstrlenA(first);
    std::size_t const secondLength = lstrlenA(second);
    if (firstLength + secondLength >= MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    std::memmove(path, first, firstLength);
    std::memcpy(path + firstLength, second, secondLength + 1);
    return true;
}

bool EndsWithin(char const* text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (text[i] == '\0')
            return true;
    return false;
}
