# Cross build for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu:
#
#   cmake -S . -B build/arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
#         -DCMAKE_BUILD_TYPE=Release -DVOZO_TESTS=OFF -DVOZO_SIZE=OFF
#
# The programs run on an x86-64 machine under qemu-user; `make test-arm64`
# builds vozo this way and runs the golden and command-line cases under it
# with tests/hosts/run_suite.py. vozo-size is left out: it needs libelf built
# for aarch64, which Debian offers only to a multiarch system.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross_find_modes.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
