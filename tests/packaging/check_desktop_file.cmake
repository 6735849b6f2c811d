cmake_minimum_required(VERSION 3.25)
# desktop-file-validate exits 0 on warnings and hints too; a clean file prints nothing, and a
# hint such as "more than one main category" still puts the program twice in some menus.
execute_process(COMMAND desktop-file-validate "${DESKTOP_FILE}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate (exit ${result}):\n${output}")
endif()
