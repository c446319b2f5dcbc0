# Writes the bytes of INPUT as a C++ array, for the host build's copy of the compiled
# resources: cmake -DINPUT=setup.res -DOUTPUT=resource_image.cpp -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char nq_resource_image[];\n"
  "extern const size_t nq_resource_image_size;\n"
  "alignas(4) const unsigned char nq_resource_image[] = {\n${bytes}0};\n"
  "const size_t nq_resource_image_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
