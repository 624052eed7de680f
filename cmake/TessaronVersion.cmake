# The version the programs and the Python package give: `git describe` of the
# clone (0.3.0 at a release tag v0.3.0, 0.3.0-12-gabcdef1 twelve commits after
# it, with -dirty for uncommitted changes), or PROJECT_VERSION with the
# commit (0.3.0-gabcdef1) before the first tag, or PROJECT_VERSION alone
# outside a clone (a release archive). Sets
#   TESSARON_VERSION_FULL    that text
#   TESSARON_PYTHON_VERSION  the same as PEP 440 has it (0.3.0.post12+gabcdef1)
# CMake runs again after each commit, so that the version follows the clone.

set(TESSARON_VERSION_FULL "${PROJECT_VERSION}")
set(TESSARON_PYTHON_VERSION "${PROJECT_VERSION}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --tags --match "v[0-9]*" --dirty
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE described
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE described_failed)
  if(described_failed)
    execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --abbrev=7 --dirty
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE commit
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE commit_failed)
    if(NOT commit_failed AND commit)
      set(described "${PROJECT_VERSION}-g${commit}")
    endif()
  endif()
  if(described)
    string(REGEX REPLACE "^v" "" TESSARON_VERSION_FULL "${described}")
    # 0.3.0[-N]-gHASH[-dirty] as PEP 440: 0.3.0[.postN]+gHASH[.dirty]
    if(TESSARON_VERSION_FULL MATCHES "^([0-9][0-9.]*)(-([0-9]+))?(-g([0-9a-f]+))?(-dirty)?$")
      set(TESSARON_PYTHON_VERSION "${CMAKE_MATCH_1}")
      if(CMAKE_MATCH_3)
        string(APPEND TESSARON_PYTHON_VERSION ".post${CMAKE_MATCH_3}")
      endif()
      set(local "")
      if(CMAKE_MATCH_5)
        set(local "g${CMAKE_MATCH_5}")
      endif()
      if(CMAKE_MATCH_6)
        if(local)
          string(APPEND local ".dirty")
        else()
          set(local "dirty")
        endif()
      endif()
      if(local)
        string(APPEND TESSARON_PYTHON_VERSION "+${local}")
      endif()
    endif()
  endif()
  # A new commit, checkout or tag changes these: configure again.
  foreach(name logs/HEAD HEAD packed-refs)
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --git-path ${name}
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE watched
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(watched)
      get_filename_component(watched "${watched}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
      if(EXISTS "${watched}")
        set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${watched}")
      endif()
    endif()
  endforeach()
endif()
message(STATUS "Tessaron version ${TESSARON_VERSION_FULL} (Python ${TESSARON_PYTHON_VERSION})")
