# cmake -DINPUT=<file> -DOUTPUT=<file.gz> -P Gzip.cmake
# Compresses INPUT as Debian wants installed documentation compressed: at the best level and
# without the file's name and time, so that two builds of one source give the same bytes.
find_program(GZIP gzip REQUIRED)
execute_process(COMMAND ${GZIP} -9 -n -c ${INPUT} OUTPUT_FILE ${OUTPUT}.part
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "gzip ${INPUT} failed: ${result}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
