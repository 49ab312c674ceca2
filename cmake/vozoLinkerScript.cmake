# vozo_add_linker_script(<target>
#     [OUTPUT <file>]
#     MEMORY_MAP <file> | SEGMENTS <segment>...
#     [PLACEMENT <file>] [ENTRY <symbol>]
#     [MEMORY_MAP_MACROS <NAME=VALUE>...] [PLACEMENT_MACROS <NAME=VALUE>...]
#     [SYMBOLS <NAME=VALUE>...] [OPTIONS <vozo option>...]
#     [NO_CHECK_SEGMENT_OVERFLOW] [CHECK_SECTION_OVERFLOW] [NO_STRICT]
#     [LLD_COMPATIBLE] [NO_TARGET2_REL] [SIZE_REPORT] [BUDGETS <segment>=<percent>...])
#
# Generates the linker script of <target> with vozo::vozo and links <target>
# with it (-T<script>). The script is regenerated when the memory map, the
# placement file or any file they include or import changes (through vozo's
# dependency file), and <target> is relinked when the script's bytes change.
#
# OUTPUT defaults to <target>.ld in the current binary directory; relative
# input paths are taken from the current source directory. SEGMENTS takes one
# "<Name> <Access> <Start> <Size>" entry per list item. Each macro and symbol
# item becomes one -memory-map-macros, -section-placement-macros or -symbols
# argument. ENTRY names the program's entry point (-entry), so that the
# linked <target> starts there (the reset handler) and debuggers start
# there too. -check-segment-overflow and -strict are passed unless
# NO_CHECK_SEGMENT_OVERFLOW or NO_STRICT is given; CHECK_SECTION_OVERFLOW
# passes -check-section-overflow. -lld-compatible is passed with
# LLD_COMPATIBLE, and when the link uses lld as far as the function can tell
# when it is called: a linker (CMAKE_LINKER, CMAKE_<LANG>_COMPILER_LINKER)
# whose name holds "lld", the linker type LLD (CMAKE_LINKER_TYPE or the
# target's LINKER_TYPE), or -fuse-ld=lld... in CMAKE_EXE_LINKER_FLAGS or in
# the link options of the directory or of <target>; link options added
# later are not seen. With -lld-compatible, an Arm script (no "-target riscv"
# in OPTIONS) also links <target> with --target2=rel, unless NO_TARGET2_REL is
# given or those link flags and options name --target2 already: the type
# references of C++ exception tables (R_ARM_TARGET2) are then relative, as
# the unwinders of libgcc and the bare-metal C++ runtimes read them and GNU
# ld writes them; lld writes offset table entries by default, and a firmware
# linked so never finds the handler of an exception. SIZE_REPORT runs
# vozo::vozo-size on the
# linked <target> after each link, when that executable is part of the
# package; each BUDGETS item becomes a -budget argument of that run (BUDGETS
# alone implies SIZE_REPORT), so a link past a budget fails the build.
function(vozo_add_linker_script target)
  set(switches NO_CHECK_SEGMENT_OVERFLOW CHECK_SECTION_OVERFLOW NO_STRICT LLD_COMPATIBLE
               NO_TARGET2_REL SIZE_REPORT)
  cmake_parse_arguments(
    PARSE_ARGV 1 ARG "${switches}"
    "OUTPUT;MEMORY_MAP;PLACEMENT;ENTRY"
    "SEGMENTS;MEMORY_MAP_MACROS;PLACEMENT_MACROS;SYMBOLS;OPTIONS;BUDGETS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vozo_add_linker_script: unexpected arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "vozo_add_linker_script: ${target} is not a target")
  endif()
  _vozo_links_with_lld(${target} links_with_lld)
  if((DEFINED ARG_MEMORY_MAP AND DEFINED ARG_SEGMENTS) OR
     (NOT DEFINED ARG_MEMORY_MAP AND NOT DEFINED ARG_SEGMENTS))
    message(FATAL_ERROR "vozo_add_linker_script: give either MEMORY_MAP or SEGMENTS")
  endif()

  if(NOT ARG_OUTPUT)
    set(ARG_OUTPUT ${target}.ld)
  endif()
  cmake_path(ABSOLUTE_PATH ARG_OUTPUT BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
             NORMALIZE OUTPUT_VARIABLE script)
  set(depfile ${script}.d)
  cmake_path(GET script PARENT_PATH script_directory)
  file(MAKE_DIRECTORY ${script_directory})

  set(arguments)
  set(inputs)
  if(DEFINED ARG_MEMORY_MAP)
    cmake_path(ABSOLUTE_PATH ARG_MEMORY_MAP NORMALIZE OUTPUT_VARIABLE memory_map)
    list(APPEND arguments -memory-map-file ${memory_map})
    list(APPEND inputs ${memory_map})
  else()
    list(JOIN ARG_SEGMENTS "$<SEMICOLON>" segments)
    list(APPEND arguments -memory-map-segments "${segments}")
  endif()
  foreach(macro IN LISTS ARG_MEMORY_MAP_MACROS)
    list(APPEND arguments -memory-map-macros ${macro})
  endforeach()
  if(DEFINED ARG_PLACEMENT)
    cmake_path(ABSOLUTE_PATH ARG_PLACEMENT NORMALIZE OUTPUT_VARIABLE placement)
    list(APPEND arguments -section-placement-file ${placement})
    list(APPEND inputs ${placement})
  endif()
  foreach(macro IN LISTS ARG_PLACEMENT_MACROS)
    list(APPEND arguments -section-placement-macros ${macro})
  endforeach()
  if(DEFINED ARG_ENTRY)
    list(APPEND arguments -entry ${ARG_ENTRY})
  endif()
  foreach(symbol IN LISTS ARG_SYMBOLS)
    list(APPEND arguments -symbols ${symbol})
  endforeach()
  if(NOT ARG_NO_CHECK_SEGMENT_OVERFLOW)
    list(APPEND arguments -check-segment-overflow)
  endif()
  if(ARG_CHECK_SECTION_OVERFLOW)
    list(APPEND arguments -check-section-overflow)
  endif()
  if(NOT ARG_NO_STRICT)
    list(APPEND arguments -strict)
  endif()
  if(ARG_LLD_COMPATIBLE OR links_with_lld)
    list(APPEND arguments -lld-compatible)
    _vozo_link_options_name(${target} "--target2" target2_given)
    if(NOT ARG_NO_TARGET2_REL AND NOT target2_given AND
       NOT "${ARG_OPTIONS}" MATCHES "(^|;)-target;riscv(;|$)")
      target_link_options(${target} PRIVATE "LINKER:--target2=rel")
    endif()
  endif()
  list(APPEND arguments ${ARG_OPTIONS})

  cmake_path(RELATIVE_PATH script BASE_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_VARIABLE shown)
  add_custom_command(
    OUTPUT ${script}
    COMMAND vozo::vozo ${arguments} -dependency-file ${depfile} ${script}
    DEPENDS vozo::vozo ${inputs}
    DEPFILE ${depfile}
    COMMENT "Generating linker script ${shown}"
    VERBATIM)
  # As a source the script is generated before the link; LINK_DEPENDS relinks
  # when it changes.
  target_sources(${target} PRIVATE ${script})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  target_link_options(${target} PRIVATE "-T${script}")

  if(ARG_SIZE_REPORT OR DEFINED ARG_BUDGETS)
    if(TARGET vozo::vozo-size)
      set(budgets)
      foreach(budget IN LISTS ARG_BUDGETS)
        list(APPEND budgets -budget ${budget})
      endforeach()
      add_custom_command(TARGET ${target} POST_BUILD
                         COMMAND vozo::vozo-size ${budgets} $<TARGET_FILE:${target}>
                         VERBATIM)
    else()
      message(WARNING "vozo_add_linker_script: SIZE_REPORT needs vozo::vozo-size, "
                      "which this vozo package does not have")
    endif()
  endif()
endfunction()

# Sets <result> to TRUE when <target>'s link is seen to use lld.
function(_vozo_links_with_lld target result)
  set(lld FALSE)
  foreach(linker IN ITEMS "${CMAKE_LINKER}" "${CMAKE_C_COMPILER_LINKER}"
                          "${CMAKE_CXX_COMPILER_LINKER}" "${CMAKE_ASM_COMPILER_LINKER}")
    cmake_path(GET linker FILENAME name)
    if(name MATCHES "lld")
      set(lld TRUE)
    endif()
  endforeach()
  get_target_property(linker_type ${target} LINKER_TYPE)
  if(CMAKE_LINKER_TYPE STREQUAL "LLD" OR linker_type STREQUAL "LLD")
    set(lld TRUE)
  endif()
  _vozo_link_options_name(${target} "-fuse-ld=lld" fuse_lld)
  if(fuse_lld)
    set(lld TRUE)
  endif()
  set(${result} ${lld} PARENT_SCOPE)
endfunction()

# Sets <result> to TRUE when CMAKE_EXE_LINKER_FLAGS or the link options of the
# directory or of <target> hold <text>.
function(_vozo_link_options_name target text result)
  get_target_property(target_options ${target} LINK_OPTIONS)
  get_directory_property(directory_options LINK_OPTIONS)
  string(FIND "${CMAKE_EXE_LINKER_FLAGS};${target_options};${directory_options}" "${text}" at)
  if(at EQUAL -1)
    set(${result} FALSE PARENT_SCOPE)
  else()
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()
