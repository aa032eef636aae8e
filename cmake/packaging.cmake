# Packages made by CPack from the install rules: a Debian package on Linux
# (zentoro_VERSION_ARCH.deb) and a ZIP from the windows preset
# (zentoro-VERSION-win64.zip). Built with `cpack` in the build folder, or
# the package workflow presets.
set(CPACK_PACKAGE_NAME zentoro)
set(CPACK_PACKAGE_VENDOR "The Zentoro developers")
set(CPACK_PACKAGE_CONTACT "${ZENTORO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Psion Series 5 Word documents to RTF")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "zentoro-${PROJECT_VERSION}-win64")
  # What the programs are for, in Windows line ends so that any editor shows it.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
                 ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  # The package is the distribution's kind of install: under /usr.
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION text)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Depends on the C and C++ libraries the program was linked with, as
  # dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The long description below the summary; CPack indents it as Debian wants.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"zentoro converts the documents of the Word application of Psion Series 5
handhelds (EPOC32 Word files) into RTF that desktop word processors open,
keeping their styles, fonts, page layout, header and footer.

Given a folder, such as a copy of a handheld's drive, it finds the Word
documents in it by their header and converts them all.")
endif()

include(CPack)
