# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads), against the
# libraries windows/deps.sh builds into ZARVELIN_WINDOWS_DEPS (its prefix/ holds the headers,
# libraries and pkg-config files).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZARVELIN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARVELIN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARVELIN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARVELIN_MINGW}-windres)

# Try-compiles see the same variable (CMake passes only what is listed here).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZARVELIN_WINDOWS_DEPS)
if(NOT ZARVELIN_WINDOWS_DEPS)
  message(FATAL_ERROR "ZARVELIN_WINDOWS_DEPS must name the folder windows/deps.sh built")
endif()
set(ZARVELIN_WINDOWS_PREFIX ${ZARVELIN_WINDOWS_DEPS}/prefix)

# Libraries and headers only from the mingw sysroot and the built prefix, never the host's;
# programs (pkg-config) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZARVELIN_MINGW} ${ZARVELIN_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${ZARVELIN_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# libpng's static library needs zlib after it.
set(PNG_PNG_INCLUDE_DIR ${ZARVELIN_WINDOWS_PREFIX}/include)
set(PNG_LIBRARY ${ZARVELIN_WINDOWS_PREFIX}/lib/libpng16.a)
set(ZLIB_INCLUDE_DIR /usr/${ZARVELIN_MINGW}/include)
set(ZLIB_LIBRARY /usr/${ZARVELIN_MINGW}/lib/libz.a)

# Release at -O2: at -O3 this GCC 12 warns falsely inside libstdc++'s string code
# (-Wrestrict, GCC bug 105329), and the programs come out smaller.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")

# One self-contained executable each: -static links the C and C++ runtimes and winpthread
# in, so only Windows' own DLLs (and SDL.dll beside it, named by its import library) are
# needed. No link time in the header: every build of a commit gives the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
