# Creates OUTPUT from the SCHEMA script with the ISQL tool, through a temporary file so that an
# interrupted run leaves no half-made database behind.
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
set(partial "${OUTPUT}.partial")
file(REMOVE "${partial}")
file(READ "${SCHEMA}" body)
file(WRITE "${dir}/create.sql"
     "CREATE DATABASE '${partial}' USER 'SYSDBA' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n${body}")
set(ENV{FIREBIRD_LOCK} "${dir}/.dbn.lock")
execute_process(COMMAND "${ISQL}" -q -b -i "${dir}/create.sql"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "isql failed (${rc}): ${out} ${err}")
endif()
file(RENAME "${partial}" "${OUTPUT}")
