# `cpack -G DEB` in a build folder: one Debian package, tessaron, of what
# `cmake --install` installs (the desktop program when it is built,
# tessaron-cli, tessaron-map and tessaron-chart, the Python module, the
# libraries and headers), its dependencies computed by dpkg-shlibdeps.
# Configure the build with -DCMAKE_INSTALL_PREFIX=/usr, so that the Python
# module goes where Debian's python3 finds it (lib/python3/dist-packages).
# scripts/package-test.sh builds the package, checks it with lintian and runs
# the programs and the module from the unpacked tree.

# What Debian asks of every package's documentation folder: the licence as
# a copyright file and a changelog.
set(tessaron_debian_doc ${PROJECT_BINARY_DIR}/debian-doc)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE tessaron_license)
string(REGEX REPLACE "\n\n" "\n.\n" tessaron_license_body "${tessaron_license}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" tessaron_license_body "${tessaron_license_body}")
file(WRITE ${tessaron_debian_doc}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: tessaron\n\n"
  "Files: *\nCopyright: 2026 The Tessaron developers\nLicense: MIT\n"
  " ${tessaron_license_body}\n")
string(TIMESTAMP tessaron_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(tessaron_deb_version "${TESSARON_VERSION_FULL}")
string(REPLACE "-" "+" tessaron_deb_version "${tessaron_deb_version}")
file(WRITE ${tessaron_debian_doc}/changelog.Debian
  "tessaron (${tessaron_deb_version}) unstable; urgency=medium\n\n"
  "  * Built from the source tree; see /usr/share/doc/tessaron/CHANGELOG.md.\n\n"
  " -- The Tessaron developers <tessaron@example.org>  ${tessaron_date}\n")
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
  execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${tessaron_debian_doc}/changelog.Debian)
  install(FILES ${tessaron_debian_doc}/copyright ${tessaron_debian_doc}/changelog.Debian.gz
    DESTINATION share/doc/tessaron COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME tessaron)
set(CPACK_PACKAGE_VENDOR "The Tessaron developers")
set(CPACK_PACKAGE_CONTACT "The Tessaron developers <tessaron@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "repeated words of four kinds in circular genomes")
set(CPACK_PACKAGE_DESCRIPTION
  "Tessaron finds the repeated words of one circular genome (a chloroplast,\n\
a mitochondrion, a bacterium) in four kinds: direct, inverted, mirror and\n\
complementary. This package holds the desktop program (when built),\n\
the command line tessaron-cli, the Python module and the C++ libraries.")
set(CPACK_PACKAGE_VERSION "${tessaron_deb_version}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Every component installed by default, and the Debian documentation files.
get_cmake_property(tessaron_components COMPONENTS)
list(APPEND tessaron_components debian)
list(REMOVE_DUPLICATES tessaron_components)
set(CPACK_COMPONENTS_ALL ${tessaron_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME tessaron)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/tessaron")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Python module's own needs, which dpkg-shlibdeps does not see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, python3-numpy")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pandas, python3-matplotlib")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
