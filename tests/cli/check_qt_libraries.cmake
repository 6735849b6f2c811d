cmake_minimum_required(VERSION 3.25)
# The command-line tool runs where no display or widget library is installed: of Qt it
# needs Qt Core only. Its drawing module (MODULE, when given) may need Qt Gui for the
# raster painter and PNG writer, never Qt Widgets.
function(check_needed file expected)
    execute_process(COMMAND readelf --dynamic "${file}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE dynamic ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "readelf --dynamic ${file}: ${errors}")
    endif()
    # Only the libraries the file needs name a Qt library in the dynamic section.
    string(REGEX MATCHALL "libQt6[A-Za-z]+" needed "${dynamic}")
    list(SORT needed)
    if(NOT needed STREQUAL expected)
        message(FATAL_ERROR "${file} needs the Qt libraries \"${needed}\", expected \"${expected}\"")
    endif()
endfunction()

check_needed("${PROGRAM}" "libQt6Core")
if(MODULE)
    check_needed("${MODULE}" "libQt6Core;libQt6Gui")
endif()
