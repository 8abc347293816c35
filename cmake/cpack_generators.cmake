# What differs between cpack's generators: the .zip packs scrpkg.exe's cross build (its
# install rules put scrpkg.exe, the README and the licence at the top) instead of this one.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_SCRPKG_EXE_BUILD_DIR};scrpkg;ALL;/")
  set(CPACK_PACKAGE_FILE_NAME "scrpkg-${CPACK_PACKAGE_VERSION}-win64")
endif()
