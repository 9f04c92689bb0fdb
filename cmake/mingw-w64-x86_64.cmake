# Cross-builds Qeb for 64-bit Windows with Debian's MinGW-w64.
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix-threads variant of the compiler is the one whose C++ library has
# std::thread and std::mutex. Everything is linked statically, so qeb.exe
# needs only the DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QEB_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QEB_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QEB_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QEB_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QEB_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
