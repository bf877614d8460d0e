// Paths in fixed buffers of MAX_PATH characters, as the system's own calls hand them out.
#pragma once

#include <windows.h>

#include <cstddef>

using PathBuffer = char[MAX_PATH];

// path := first followed by second; false, with path emptied, when that would not fit. A path
// is refused whole, never cut short: a cut path names some other file or folder. The two may
// overlap when a caller extends a path in place.
bool JoinPath(PathBuffer& path, char const* first, char const* second);

// Whether the text's terminator lies within its first `size` bytes: a value read from the
// registry need not bring one.
bool EndsWithin(char const* text, std::size_t size);
