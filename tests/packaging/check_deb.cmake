cmake_minimum_required(VERSION 3.25)
# Builds the Debian package as the README tells (cpack -G DEB) into a folder of its own and
# checks its control fields and its file list.
# Read at test time: the folder is set after the tests are configured.
file(STRINGS "${BUILD_DIR}/CMakeCache.txt" line REGEX "^RAILWRIGHT_INSTALL_PROGDIR:[A-Z]+=")
string(REGEX REPLACE "^[^=]*=" "" prog_dir "${line}")
set(prog "./usr/${prog_dir}")
if(prog_dir STREQUAL "bin")
    set(commands_expected "${prog}/OMCODES.RCS;${prog}/RCCODES.RCS;${prog}/VTCODES.RCS;${prog}/railwright;${prog}/railwright-cli")
else()
    file(RELATIVE_PATH link "/usr/bin" "/usr/${prog_dir}")
    set(commands_expected "./usr/bin/railwright -> ${link}/railwright;./usr/bin/railwright-cli -> ${link}/railwright-cli")
endif()

file(REMOVE_RECURSE "${OUT_DIR}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUT_DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs "${OUT_DIR}/railwright_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one railwright_*.deb in ${OUT_DIR}, found: ${debs}\n${output}")
endif()

execute_process(COMMAND dpkg-deb --field "${debs}" Package Architecture Depends
                RESULT_VARIABLE result OUTPUT_VARIABLE fields ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --field: ${errors}")
endif()
# dpkg-shlibdeps must have found the linked Qt libraries; the platform plugins are not linked,
# and without them the editor cannot open a window.
foreach(pattern "Package: railwright\n" "Architecture: [a-z0-9]+\n" "Depends: .*libc6"
                "Depends: .*libqt6core6" "Depends: .*libqt6widgets6" "Depends: .*qt6-qpa-plugins")
    if(NOT fields MATCHES "${pattern}")
        message(FATAL_ERROR "control fields do not match \"${pattern}\":\n${fields}")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents "${debs}"
                RESULT_VARIABLE result OUTPUT_VARIABLE contents ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --contents: ${errors}")
endif()
foreach(entry "${prog}/railwright\n" "${prog}/railwright-cli\n" "${prog}/RCCODES.RCS\n"
              "${prog}/VTCODES.RCS\n" "${prog}/OMCODES.RCS\n"
              "./usr/share/applications/${APP_ID}.desktop\n"
              "./usr/share/mime/packages/${APP_ID}.xml\n"
              "./usr/share/metainfo/${APP_ID}.metainfo.xml\n"
              "./usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg\n"
              "./usr/share/icons/hicolor/48x48/apps/${APP_ID}.png\n")
    string(FIND "${contents}" "${entry}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the package lacks ${entry}Its contents:\n${contents}")
    endif()
endforeach()
# /usr/bin holds the two commands; the tables lie there only when the programs do too.
string(REGEX MATCHALL "\\./usr/bin/[^\n]+" commands "${contents}")
if(NOT commands STREQUAL commands_expected)
    message(FATAL_ERROR "/usr/bin in the package holds \"${commands}\", expected \"${commands_expected}\"")
endif()
# Nothing of the developer's build tree (test programs, static libraries, headers) ships.
if(contents MATCHES "(tst_|\\.a\n|\\.h\n|/include/)")
    message(FATAL_ERROR "the package holds build-only files:\n${contents}")
endif()
