# PCRE2 (8-bit code units), which only the tests and the fuzz targets link:
# they compare the expression lexer's recognisers with the token patterns
# those were made to equal (tests/expr/token_pattern_reference.h). vozo itself
# does not use it. Defines the target pcre2.
if(NOT TARGET pcre2)
  find_path(PCRE2_INCLUDE_DIR pcre2.h)
  find_library(PCRE2_LIBRARY pcre2-8)
  if(NOT PCRE2_INCLUDE_DIR OR NOT PCRE2_LIBRARY)
    message(FATAL_ERROR "the tests and fuzz targets need PCRE2 (Debian: libpcre2-dev)")
  endif()
  add_library(pcre2 INTERFACE)
  target_include_directories(pcre2 INTERFACE ${PCRE2_INCLUDE_DIR})
  target_link_libraries(pcre2 INTERFACE ${PCRE2_LIBRARY})
endif()
