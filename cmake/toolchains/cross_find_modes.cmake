# Included by each tool chain file after it sets CMAKE_FIND_ROOT_PATH to the
# cross tool chain's root: libraries, headers and CMake packages come from
# that root only, programs (awk for the manual pages) from the build machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
