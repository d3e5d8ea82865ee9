# Copies SOURCE to TARGET only when TARGET does not exist: a user's database is never replaced.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
    message(STATUS "Created ${TARGET}")
endif()
