# Installation: the programs, the manual page, the CMake package (usable
# from an install prefix and from this build tree) and the Debian package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Every program of the package; each is installed into bin and exported as
# vozo::<name>. vozo-size only where it is built (VOZO_SIZE).
set(VOZO_PROGRAMS vozo)
if(VOZO_SIZE)
  list(APPEND VOZO_PROGRAMS vozo-size)
endif()

install(TARGETS ${VOZO_PROGRAMS} EXPORT vozoTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual pages, generated at build time from each program's reference
# page in docs/.
find_program(AWK awk REQUIRED)
set(VOZO_MAN_PAGES)
foreach(program_and_page vozo=cli.md vozo-size=vozo-size.md)
  string(REPLACE "=" ";" program_and_page ${program_and_page})
  list(GET program_and_page 0 program)
  list(GET program_and_page 1 page)
  if(NOT program IN_LIST VOZO_PROGRAMS)
    continue()
  endif()
  set(man_page ${PROJECT_BINARY_DIR}/${program}.1)
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${AWK} -v version=${PROJECT_VERSION} -f ${PROJECT_SOURCE_DIR}/cmake/markdown_to_man.awk
            ${PROJECT_SOURCE_DIR}/docs/${page} > ${man_page}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/markdown_to_man.awk ${PROJECT_SOURCE_DIR}/docs/${page}
    COMMENT "Generating manual page ${program}.1"
    VERBATIM)
  list(APPEND VOZO_MAN_PAGES ${man_page})
endforeach()
add_custom_target(vozo_man_pages ALL DEPENDS ${VOZO_MAN_PAGES})
install(FILES ${VOZO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The documentation, laid out as in the source tree so that the relative
# links between README.md, the docs pages, the benchmark figures and the
# examples work where it is installed.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.svg")
install(FILES bench/RESULTS.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/bench)
install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The CMake package. Only host programs are in it, so any target
# architecture may use it (a cross build's pointer size differs).
set(VOZO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vozo)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vozoConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
configure_file(cmake/vozoConfig.cmake ${PROJECT_BINARY_DIR}/vozoConfig.cmake COPYONLY)
configure_file(cmake/vozoLinkerScript.cmake ${PROJECT_BINARY_DIR}/vozoLinkerScript.cmake COPYONLY)
export(EXPORT vozoTargets NAMESPACE vozo:: FILE ${PROJECT_BINARY_DIR}/vozoTargets.cmake)
install(EXPORT vozoTargets NAMESPACE vozo:: DESTINATION ${VOZO_PACKAGE_DIR})
install(FILES ${PROJECT_BINARY_DIR}/vozoConfig.cmake ${PROJECT_BINARY_DIR}/vozoConfigVersion.cmake
              ${PROJECT_BINARY_DIR}/vozoLinkerScript.cmake
        DESTINATION ${VOZO_PACKAGE_DIR})

# The Debian package (cpack -G DEB); its dependencies come from the
# programs' shared libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vozo)
set(CPACK_PACKAGE_VENDOR "the vozo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Linker script generator for firmware builds")
set(CPACK_PACKAGE_DESCRIPTION
    "Writes GNU ld or SEGGER-format linker scripts from an XML memory map and an optional\nsection placement file; with a CMake package for firmware builds.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "vozo developers <vozo@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
