// The hook procedure, which the benchmark calls directly.
#pragma once

#include <windows.h>

namespace rodlink {

LRESULT CALLBACK KeyboardProc(int code, WPARAM virtualKey, LPARAM flags);

} // namespace rodlink
