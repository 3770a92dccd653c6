# Cross-compiling for 64-bit ARM Linux with Debian's cross compiler (g++-aarch64-linux-gnu)
# against the arm64 libraries installed through multiarch (libsdl1.2-dev:arm64, ...).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# The arm64 libraries' pkg-config files, never the host's; headers are shared in /usr/include.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
# Programs run on the host: qemu-aarch64 runs the arm64 ones (packaging/arm64-check.sh).
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
