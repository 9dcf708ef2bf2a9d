# Writes OUTPUT: a C++ file holding the bytes of HEADER_FILES, RC_FILES and
# ICON_FILES ("|"-separated) and registering them with the framework at
# start-up, the headers first so that the scripts can include them.
string(REPLACE "|" ";" header_files "${HEADER_FILES}")
string(REPLACE "|" ";" rc_files "${RC_FILES}")
string(REPLACE "|" ";" icon_files "${ICON_FILES}")

function(bytes_of file out)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(${out} "${bytes}0x00" PARENT_SCOPE)  # the trailing 0 is not counted
endfunction()

# Appends to `data` an array of each of `files` and to `calls` the call of
# `register` with the file's path and bytes.
function(embed_texts files prefix register)
  set(index 0)
  foreach(file IN LISTS files)
    bytes_of(${file} bytes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    set(array k${prefix}${index})
    string(APPEND data "const unsigned char ${array}[] = {${bytes}};\n")
    string(APPEND calls "    ${register}(\"${name}\", std::string_view(reinterpret_cast<const char*>(${array}), sizeof ${array} - 1));\n")
    math(EXPR index "${index} + 1")
  endforeach()
  set(data "${data}" PARENT_SCOPE)
  set(calls "${calls}" PARENT_SCOPE)
endfunction()

set(data "")
set(calls "")
embed_texts("${header_files}" Header AfxRegisterResourceHeader)
embed_texts("${rc_files}" Script AfxRegisterResourceScript)
set(index 0)
foreach(file IN LISTS icon_files)
  get_filename_component(stem ${file} NAME_WE)
  string(REGEX MATCH "^icon([0-9]+)$" matched "${stem}")
  if(NOT matched)
    message(FATAL_ERROR "${file}: an icon file is named icon<ID>.png")
  endif()
  bytes_of(${file} bytes)
  string(APPEND data "const unsigned char kIcon${index}[] = {${bytes}};\n")
  string(APPEND calls "    AfxRegisterIcon(${CMAKE_MATCH_1}, kIcon${index}, sizeof kIcon${index} - 1);\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUTPUT}.tmp
"// Generated from res/ by ui/resources/EmbedResources.cmake; do not edit.
#include <string_view>

#include \"ui/resources/ResourceSet.h\"

namespace {

${data}
[[maybe_unused]] const bool kRegistered = [] {
${calls}    return true;
}();

}  // namespace
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
