# Writes the bytes of INPUT as a C++ array, for the host build's copy of the compiled
# resources: cmake -DINPUT=setup.res -DOUTPUT=resource_image.cpp -P embed.cmake
# SYMBOL names the array (nq_resource_image unless given).
if(NOT SYMBOL)
  set(SYMBOL nq_resource_image)
endif()
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const size_t ${SYMBOL}_size;\n"
  "alignas(4) const unsigned char ${SYMBOL}[] = {\n${bytes}0};\n"
  "const size_t ${SYMBOL}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
