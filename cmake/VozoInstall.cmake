# Installation: the programs, the manual page, the CMake package (usable
# from an install prefix and from this build tree) and the Debian package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Every program of the package; each is installed into bin and exported as
# vozo::<name>.
set(VOZO_PROGRAMS vozo vozo-size)

install(TARGETS ${VOZO_PROGRAMS} EXPORT vozoTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page, generated from the option reference at build time.
find_program(AWK awk REQUIRED)
set(VOZO_MAN_PAGE ${PROJECT_BINARY_DIR}/vozo.1)
add_custom_command(
  OUTPUT ${VOZO_MAN_PAGE}
  COMMAND ${AWK} -v version=${PROJECT_VERSION} -f ${PROJECT_SOURCE_DIR}/cmake/markdown_to_man.awk
          ${PROJECT_SOURCE_DIR}/docs/cli.md > ${VOZO_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/markdown_to_man.awk ${PROJECT_SOURCE_DIR}/docs/cli.md
  COMMENT "Generating manual page vozo.1"
  VERBATIM)
add_custom_target(vozo_man_page ALL DEPENDS ${VOZO_MAN_PAGE})
install(FILES ${VOZO_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md docs/cli.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
