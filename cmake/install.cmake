# What `cmake --install` puts in place, in the GNU directories, and the
# Debian packages `cpack -G DEB` makes of it. Two install components:
#   runtime  the zelmora program and the shared library       (package zelmora)
#   dev      headers, static library, CMake package, pkg-config file,
#            the shared library's link name                  (package libzelmora-dev)
# The report templates of the print jobs are compiled into the library and
# the forms are set in DejaVu Sans through fontconfig, so nothing else is
# read at run time.
include(CMakePackageConfigHelpers)

# Installing (and cpack) takes what is built and builds nothing: the
# installed targets are few, and the tests and benchmarks need not be built
# to package them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ZELMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zelmora)

install(TARGETS zelmora_program RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS zelmora_shared EXPORT zelmoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(TARGETS zelmora EXPORT zelmoraTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zelmora DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev
  FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/include/zelmora/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelmora COMPONENT dev)

install(EXPORT zelmoraTargets NAMESPACE zelmora:: DESTINATION ${ZELMORA_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zelmoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zelmoraConfig.cmake INSTALL_DESTINATION ${ZELMORA_CMAKE_DIR})
# Within one major version later releases serve; while it is 0, only the same minor.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(ZELMORA_COMPATIBILITY SameMinorVersion)
else()
  set(ZELMORA_COMPATIBILITY SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zelmoraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY ${ZELMORA_COMPATIBILITY})
install(FILES ${PROJECT_BINARY_DIR}/zelmoraConfig.cmake ${PROJECT_BINARY_DIR}/zelmoraConfigVersion.cmake
  DESTINATION ${ZELMORA_CMAKE_DIR} COMPONENT dev)

# pkg-config: the paths as installed (the prefix given to cmake --install is
# applied through ${pcfiledir}, so the file also serves from a moved prefix).
file(RELATIVE_PATH ZELMORA_PC_TO_PREFIX
  /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${PROJECT_SOURCE_DIR}/cmake/zelmora.pc.in ${PROJECT_BINARY_DIR}/zelmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zelmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# Debian packages.
set(CPACK_PACKAGE_NAME zelmora)
set(CPACK_PACKAGE_VENDOR "zelmora")
set(CPACK_PACKAGE_CONTACT "zelmora maintainers <maintainers@users.noreply.c-seed-c6bb7327.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME zelmora)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION misc)
# Each description: a summary line, then the text.
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Italian INTRASTAT declarations from an accounting database
zelmora prepares the INTRA-1 and INTRA-2 lists of intra-community sales
and purchases from the movements an accounting application keeps in its
SQLite or SQL Server database, writes the telematic submission file and
prints the forms. This package holds the zelmora program and the shared
library that host applications load.")
# The shared libraries' packages (SQLite, the ODBC driver manager, pango
# and cairo, ...) come from dpkg-shlibdeps; the font the forms are set in
# is named, and the FreeTDS driver SQL Server connections use is recommended.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "tdsodbc")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzelmora-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION "zelmora library, development files
Headers, static library, CMake package (find_package(zelmora)) and
pkg-config file for host applications that embed the zelmora business
object, which prepares Italian INTRASTAT declarations.")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "zelmora (= ${PROJECT_VERSION}), libsqlite3-dev, unixodbc-dev, libfmt-dev, libpango1.0-dev, libcairo2-dev, pkg-config")
include(CPack)
