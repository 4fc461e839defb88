# CorvennaEmbedFile(<target> <file> <symbol>): compiles the bytes of <file>
# into <target> as `extern const unsigned char <symbol>[]` and
# `extern const std::size_t <symbol>Size`.
function(CorvennaEmbedFile target file symbol)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded_${symbol}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
