# Finds libdivsufsort (the suffix sorting of the engine's complete search) and
# defines the imported target Divsufsort::divsufsort. Used by the build and,
# installed beside TessaronConfig.cmake, by programs that link the engine.
find_path(DIVSUFSORT_INCLUDE_DIR divsufsort.h)
find_library(DIVSUFSORT_LIBRARY divsufsort)
mark_as_advanced(DIVSUFSORT_INCLUDE_DIR DIVSUFSORT_LIBRARY)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Divsufsort REQUIRED_VARS DIVSUFSORT_LIBRARY DIVSUFSORT_INCLUDE_DIR)

if(Divsufsort_FOUND AND NOT TARGET Divsufsort::divsufsort)
  add_library(Divsufsort::divsufsort UNKNOWN IMPORTED)
  set_target_properties(Divsufsort::divsufsort PROPERTIES
    IMPORTED_LOCATION "${DIVSUFSORT_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${DIVSUFSORT_INCLUDE_DIR}")
endif()
