cmake_minimum_required(VERSION 3.25)
# Builds a MIME database from our type alone, as update-mime-database does for
# /usr/share/mime on installation, and checks the globs it compiled.
set(mime_dir "${DATA_HOME}/mime")
file(REMOVE_RECURSE "${mime_dir}")
file(COPY "${MIME_XML}" DESTINATION "${mime_dir}/packages")
# It warns when the folder is not one applications search.
set(ENV{XDG_DATA_HOME} "${DATA_HOME}")
execute_process(COMMAND update-mime-database "${mime_dir}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
# It reports schema errors on stderr but still exits 0.
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "update-mime-database (exit ${result}):\n${output}")
endif()

file(STRINGS "${mime_dir}/globs2" globs REGEX "^[0-9]+:")
set(expected "50:application/x-rct-track-design:*.TD4:cs" "50:application/x-rct-track-design:*.td4:cs")
foreach(line IN LISTS expected)
    if(NOT line IN_LIST globs)
        message(FATAL_ERROR "globs2 lacks \"${line}\"; it holds:\n${globs}")
    endif()
endforeach()
# Besides the case-sensitive lines it writes plain ones for older readers; any other pattern
# (a mixed-case spelling, a missing flag) is a fault in our file.
foreach(line IN LISTS globs)
    if(NOT line MATCHES "^50:application/x-rct-track-design:\\*\\.(TD4|td4)(:cs)?$")
        message(FATAL_ERROR "unexpected glob \"${line}\" in globs2")
    endif()
endforeach()
file(READ "${mime_dir}/types" types)
if(NOT types STREQUAL "application/x-rct-track-design\n")
    message(FATAL_ERROR "unexpected types file:\n${types}")
endif()
