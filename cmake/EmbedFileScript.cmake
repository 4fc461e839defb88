file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
file(WRITE ${OUTPUT}
  "#include <cstddef>\n"
  "extern const unsigned char ${SYMBOL}[] = {${bytes}};\n"
  "extern const std::size_t ${SYMBOL}Size = ${size};\n")
