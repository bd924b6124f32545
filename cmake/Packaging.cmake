# The Debian package: `cpack -G DEB` in the build folder makes quillmere_<version>_<arch>.deb
# from the install rules, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR Ardwen)
set(CPACK_PACKAGE_CONTACT "Quillmere developers <quillmere@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for text resource files and their translations")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillmere edits text resource files (.txr): tables of numbered, grouped user interface\n"
  "strings, and their translated companions (.txl), side by side. It comes with txrtool,\n"
  "which prints, compares and merges these files, also as git's diff converter and merge\n"
  "driver.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "git")
include(CPack)
