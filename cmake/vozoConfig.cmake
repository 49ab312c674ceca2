# The vozo CMake package: the imported executable vozo::vozo and the
# function vozo_add_linker_script. Found by find_package(vozo) from an install
# prefix or from a vozo build tree (vozo_DIR).
include("${CMAKE_CURRENT_LIST_DIR}/vozoTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/vozoLinkerScript.cmake")
