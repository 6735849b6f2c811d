# Installed layout and the Debian package.
#
# The editor and railwright-cli read the code tables from their own folder, so the two programs
# and the three tables are installed together in RAILWRIGHT_INSTALL_PROGDIR (a private folder
# under lib/, as Debian expects for files that are not commands), and bin/ gets relative
# symlinks to the programs. Qt finds the program's folder through /proc/self/exe, which is the
# symlink's target, so a program started as /usr/bin/railwright still finds its tables.
set(RAILWRIGHT_INSTALL_PROGDIR "lib/railwright"
    CACHE STRING "Folder under the install prefix for the programs and their code tables")

add_subdirectory(packaging)

set(CPACK_PACKAGE_NAME "railwright")
set(CPACK_PACKAGE_VENDOR "The Railwright developers")
set(CPACK_PACKAGE_CONTACT "The Railwright developers <railwright@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for RollerCoaster Tycoon track designs")
set(CPACK_PACKAGE_DESCRIPTION
    "Railwright opens the track-design files (.TD4) of RollerCoaster Tycoon and its expansions \
Corkscrew Follies and Loopy Landscapes, shows every byte in a grid and changes a ride's \
settings: ride and vehicle type, operating mode, colours, trains, cars, waiting times and \
speed. It decodes and encodes the file body and adds the checksum the game expects. \
railwright-cli does the same work in scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "editors")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# dpkg-shlibdeps finds the Qt libraries the programs link; the platform plugins Qt loads at run
# time are not linked, so they are named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
