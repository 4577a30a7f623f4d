# Cross build for 64-bit Windows with MinGW-w64. Debian's posix-thread
# compilers: GoogleTest needs std::mutex, which the win32-thread ones lack
# (winpthreads is linked statically like everything else).
# Programs built here run on Linux under Wine, which CTest uses as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NCM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NCM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NCM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NCM_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${NCM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# MinGW's printf family follows C99 (as glibc does) only with this switch.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

find_program(NCM_WINE NAMES wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NCM_WINE})
