#include "joinpath.h"

#include <cstring>

bool JoinPath(PathBuffer& path, char const* first, char const* second)
{
    std::size_t const firstLength = std::strlen(first);
    std::size_t const secondLength = std::strlen(second);
    if (firstLength + secondLength >= MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    std::memmove(path, first, firstLength);
    std::memcpy(path + firstLength, second, secondLength + 1);
    return true;
}
