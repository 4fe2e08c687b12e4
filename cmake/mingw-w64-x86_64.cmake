# Cross-build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix,
# libz-mingw-w64-dev). The posix thread model gives std::thread and std::mutex.
# Programs are linked statically so that each .exe runs with no DLL beside it, and
# run under wine wherever the build runs them (tests, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEL_MINGW_TRIPLE}-windres)

# Headers and libraries come from the mingw sysroot only; the build's own programs
# (the compilers, wine) are still found on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib as libz.a, not its import library: no zlib1.dll to ship.
set(ZLIB_USE_STATIC_LIBS ON)

# libgcc, libstdc++ and winpthread inside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Every run of a built program (ctest, GoogleTest's discovery) goes through wine, in a
# prefix of the build folder's own so that a fresh build starts from a clean one, with
# wine's own diagnostics off so that they do not mix with a program's output.
find_program(ZEL_WINE_PROGRAM NAMES wine wine64)
if(NOT DEFINED ZEL_WINEPREFIX)
  set(ZEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()
if(ZEL_WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${ZEL_WINEPREFIX} WINEDEBUG=-all ${ZEL_WINE_PROGRAM})
endif()
