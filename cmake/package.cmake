# The Debian package: `cmake --build build --target package` (or
# `cd build && cpack -G DEB`) writes rara_<version>_<arch>.deb with everything
# `cmake --install` lays out, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Rara developers <rara@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Elliptic curves over binary fields by complex multiplication")
set(CPACK_PACKAGE_DESCRIPTION
    "Rara builds elliptic curves y^2 + xy = x^3 + ax^2 + b over GF(2^N) by the\n\
complex-multiplication method: a desktop program (rara), a batch front end\n\
(rara-cli), the arithmetic library with its CMake package and, where built,\n\
the Python module rara.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/rara")
# The run-time libraries (Qt 6, the C++ library) from the programs' own
# dependencies when dpkg-shlibdeps is there to find them; else named here.
find_program(RARA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RARA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(RARA_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6printsupport6, libqt6gui6, libstdc++6, libc6")
endif()
# The Python module is for the system's Python 3.
if(RARA_PYTHON)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3)
endif()
include(CPack)
