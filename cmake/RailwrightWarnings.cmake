# Project-wide compile settings for our own targets.
function(railwright_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_FOREACH)
endfunction()

# Adds a Qt Test executable and registers it with CTest on the offscreen platform.
function(railwright_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    railwright_target_defaults(${name})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    # Shared test helpers are included as "support/...".
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        RAILWRIGHT_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
        RAILWRIGHT_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    add_test(NAME ${name} COMMAND ${name})
    # What the editor remembers (recent files, options) goes to the build tree, not to the
    # settings of the user running the tests.
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-settings"
        TIMEOUT 300)
endfunction()
