# Cross build for 64-bit Windows with Debian's mingw-w64:
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#         -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_SIZE=OFF
#
# `make package-windows` builds vozo.exe this way and zips it; `make
# test-windows` runs the golden and command-line cases under wine64. The
# compilers are the "posix" threading variant, whose C++ library has
# std::thread and std::mutex. vozo.exe is linked statically (VOZO_STATIC), so
# it needs no DLL beyond those of Windows itself. vozo-size is left out:
# Debian has no libelf built for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/cross_find_modes.cmake)

# Debian's wine64 keeps its loader beside Wine's programs, off PATH. The Wine
# prefix (WINEPREFIX) and WINEDEBUG come from the environment ctest runs in.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine64)
endif()
