# Writes OUTPUT, a C++ source holding every IMAGES_DIR/<id>.png as a byte
# array with its id, ascending by id. Run with cmake -P.
file(GLOB images RELATIVE ${IMAGES_DIR} ${IMAGES_DIR}/*.png)
set(ids "")
foreach(name IN LISTS images)
  string(REGEX MATCH "^([0-9]+)\\.png$" matched ${name})
  if(NOT matched)
    message(FATAL_ERROR "built-in image not named <id>.png: ${name}")
  endif()
  list(APPEND ids ${CMAKE_MATCH_1})
endforeach()
list(SORT ids COMPARE NATURAL)

set(arrays "")
set(entries "")
foreach(id IN LISTS ids)
  file(READ ${IMAGES_DIR}/${id}.png hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const std::uint8_t kImage${id}[] = {\n${bytes}};\n")
  string(APPEND entries "    {${id}, kImage${id}, sizeof kImage${id}},\n")
endforeach()
list(LENGTH ids count)
if(count EQUAL 0)
  set(entries "    {0, nullptr, 0},\n")
endif()

file(WRITE ${OUTPUT}.tmp
"// Written by the build from the built-in images; do not edit.
#include \"builtin_images_table.h\"

namespace
{
${arrays}} // namespace

namespace VARDResources
{
const BuiltInImageEntry kBuiltInImages[] = {
${entries}};
const std::size_t kBuiltInImageCount = ${count};
} // namespace VARDResources
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
