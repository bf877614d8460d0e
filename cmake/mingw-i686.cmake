# The shipping build: x86 programs for Windows 95 and Windows NT 4.0. The win32 thread model
# keeps winpthread, and the kernel calls it needs that Windows 95 lacks, out of the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(TOOLCHAIN_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
