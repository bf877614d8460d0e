# The same sources for x86-64: the build that the tests run under wine64. GoogleTest needs
# std::mutex, which only the posix thread model has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(TOOLCHAIN_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
