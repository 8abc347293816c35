# Installing and packing scrpkg. `cmake --install` puts the program in bin/, its manual page
# (made from its --help by help2man) in share/man/man1/ and its bash completion in
# share/bash-completion/completions/. `cpack` in the native build makes the .deb, its
# dependencies computed by dpkg-shlibdeps, and the Windows .zip from scrpkg.exe's build.
include(GNUInstallDirs)

if(SCRPKG_WINDOWS_TOOL)  # what the .zip holds
  install(TARGETS scrpkg RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  return()
endif()

install(TARGETS scrpkg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES tools/scrpkg/scrpkg.bash RENAME scrpkg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

find_program(SCRPKG_HELP2MAN help2man)
if(SCRPKG_HELP2MAN)
  set(man_page ${CMAKE_BINARY_DIR}/man/scrpkg.1)
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -DSCRPKG=$<TARGET_FILE:scrpkg> -DHELP2MAN=${SCRPKG_HELP2MAN}
            -DVERSION=${PROJECT_VERSION} -DOUTPUT=${man_page}
            -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
    DEPENDS scrpkg ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
    COMMENT "Writing the manual page scrpkg.1"
    VERBATIM)
  add_custom_target(scrpkg_man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found, so no manual page: bash scripts/install-deps installs it")
endif()

set(CPACK_PACKAGE_NAME scrpkg)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Makes, inspects and installs self-installing screen-saver packages")
set(CPACK_PACKAGE_CONTACT "The scrpkg maintainers <maintainers@scrpkg.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
if(SCRPKG_EXE_PATH)
  list(APPEND CPACK_GENERATOR ZIP)
  set(CPACK_SCRPKG_EXE_BUILD_DIR ${scrpkg_exe_dir})  # read by cpack_generators.cmake
endif()
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_generators.cmake)
include(CPack)
