# Writes OUTPUT, a C++ source holding each file of FILES ('|'-separated, in module order: Web,
# Email, Phone, File, IRC) as a zero-terminated byte string, with its short name and resource id.
set(short_names Web Email Phone File IRC)
set(resource_ids 1004 2004 3004 4004 6004)
string(REPLACE "|" ";" FILES "${FILES}")

set(body "")
set(index 0)
foreach(file IN LISTS FILES)
  list(GET short_names ${index} short_name)
  list(GET resource_ids ${index} resource_id)
  get_filename_component(file_name ${file} NAME)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # Every byte as a \xHH escape, 32 bytes to a source line.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  string(REGEX REPLACE "((\\\\x[0-9a-f][0-9a-f]){32})" "\\1\"\n    \"" escaped "${escaped}")
  string(APPEND body "    {\"${short_name}\", ${resource_id}, \"${file_name}\",\n    \"${escaped}\",\n    ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUTPUT} "// Generated from resources/patches/ by embed_patch_texts.cmake.
#include \"resources/patch_texts.h\"

const CarriedPatchText kCarriedPatchTexts[kCarriedPatchCount] = {
${body}};
")
