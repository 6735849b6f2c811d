cmake_minimum_required(VERSION 3.25)
# The command-line tool runs where no display or widget library is installed: of Qt it
# may need Qt Core, and Qt Gui for drawing pictures (its raster painter and PNG writer,
# no platform plugin), never Qt Widgets.
execute_process(COMMAND readelf --dynamic "${PROGRAM}"
                RESULT_VARIABLE result OUTPUT_VARIABLE dynamic ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "readelf --dynamic ${PROGRAM}: ${errors}")
endif()
# Only the libraries the program needs name a Qt library in the dynamic section.
string(REGEX MATCHALL "libQt6[A-Za-z]+" needed "${dynamic}")
list(SORT needed)
if(NOT needed STREQUAL "libQt6Core;libQt6Gui")
    message(FATAL_ERROR "railwright-cli needs the Qt libraries \"${needed}\", expected only "
                        "libQt6Core and libQt6Gui")
endif()
