# Turns the page's script and style sheet into a C++ header of string
# literals, so that the HTML report carries them without reading any file.
# Run as: cmake -DOUTPUT=<header> -DINPUTS="name=file;name=file" -P embed.cmake
set(text "#pragma once\n// Made from report/resources by embed.cmake; do not edit.\n#include <string_view>\nnamespace tessaron {\n")
foreach(pair IN LISTS INPUTS)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 file)
  file(READ "${file}" content)
  if(content MATCHES "\\)tessaron\"")
    message(FATAL_ERROR "${file} holds the literal's closing delimiter")
  endif()
  string(APPEND text "inline constexpr std::string_view ${name} = R\"tessaron(${content})tessaron\";\n")
endforeach()
string(APPEND text "}  // namespace tessaron\n")
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
