# What `cmake --install` puts in the prefix for C++ programs: the Qt-free
# libraries (static, position independent so that they link into shared
# objects too), their headers under include/tessaron, a CMake package
# configuration (find_package(Tessaron), targets Tessaron::engine, ...) and a
# pkg-config file (tessaron.pc).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(CheckCXXCompilerFlag)

# Exported as Tessaron::<folder>, in link order (each after those that use it).
set(tessaron_package_libraries session report mapgeometry compare input engine)

# Position independent code would let a shared library's symbols be replaced
# at load time, and so keeps the compiler from inlining across the functions of
# a file; these libraries never rely on that.
check_cxx_compiler_flag(-fno-semantic-interposition TESSARON_HAS_NO_SEMANTIC_INTERPOSITION)

set(tessaron_package_dependencies "")
set(tessaron_pc_requires "")
set(tessaron_pc_libs "")
foreach(folder IN LISTS tessaron_package_libraries)
  set(target tessaron_${folder})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${folder} POSITION_INDEPENDENT_CODE ON)
  if(TESSARON_HAS_NO_SEMANTIC_INTERPOSITION)
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/include/${folder}
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessaron COMPONENT development)
  string(APPEND tessaron_pc_libs " -l${target}")
  # A package a library links (a target Name::lib) is found again by the
  # configuration, and named to pkg-config.
  get_target_property(links ${target} LINK_LIBRARIES)
  foreach(link IN LISTS links)
    if(link MATCHES "^([A-Za-z0-9_]+)::" AND NOT CMAKE_MATCH_1 STREQUAL "tessaron")
      set(package ${CMAKE_MATCH_1})
      if(NOT package IN_LIST tessaron_package_dependencies)
        list(APPEND tessaron_package_dependencies ${package})
      endif()
    endif()
  endforeach()
endforeach()

set(TESSARON_FIND_DEPENDENCIES "")
foreach(package IN LISTS tessaron_package_dependencies)
  string(APPEND TESSARON_FIND_DEPENDENCIES "find_dependency(${package})\n")
  if(package STREQUAL "Divsufsort")
    list(APPEND tessaron_pc_requires libdivsufsort)
  elseif(package STREQUAL "ZLIB")
    list(APPEND tessaron_pc_requires zlib)
  elseif(package STREQUAL "Threads")
    string(APPEND tessaron_pc_libs " -pthread")
  else()
    message(FATAL_ERROR "tessaron.pc: no pkg-config name for the package ${package}")
  endif()
endforeach()
list(JOIN tessaron_pc_requires ", " TESSARON_PC_REQUIRES)
string(STRIP "${tessaron_pc_libs}" TESSARON_PC_LIBS)

list(TRANSFORM tessaron_package_libraries PREPEND tessaron_ OUTPUT_VARIABLE tessaron_package_targets)
install(TARGETS ${tessaron_package_targets} EXPORT TessaronTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessaron)

set(tessaron_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Tessaron)
install(EXPORT TessaronTargets NAMESPACE Tessaron:: DESTINATION ${tessaron_cmake_dir} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TessaronConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TessaronConfig.cmake INSTALL_DESTINATION ${tessaron_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TessaronConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TessaronConfig.cmake ${PROJECT_BINARY_DIR}/TessaronConfigVersion.cmake
  ${CMAKE_CURRENT_LIST_DIR}/FindDivsufsort.cmake
  DESTINATION ${tessaron_cmake_dir} COMPONENT development)

# The prefix is found from the file's own place, so that the tree can be
# installed anywhere (cmake --install --prefix) and moved.
file(RELATIVE_PATH TESSARON_PC_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" TESSARON_PC_PREFIX "${TESSARON_PC_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tessaron.pc.in ${PROJECT_BINARY_DIR}/tessaron.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tessaron.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)
