# cpack makes karuneo_<version>_amd64.deb on Linux, and in the Windows cross
# build karuneo-<version>-win64.zip and the per-user installer
# karuneo-<version>-setup.exe, all from the install rules.
set(CPACK_PACKAGE_NAME karuneo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(KARUNEO_MAINTAINER "カルネオ maintainers <maintainers@users.noreply.c-seed-6874140f.example>"
    CACHE STRING "Maintainer named in the packages")
set(CPACK_PACKAGE_CONTACT ${KARUNEO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flattens folders that come wrapped in useless layers")
set(CPACK_PACKAGE_DESCRIPTION
    "Drop a folder that holds nothing but a chain of single subfolders onto the
window and the contents of the deepest folder move up into it; the emptied
chain is removed. Nothing is overwritten, copied or deleted unless it is an
empty folder of the chain, and links are never followed out of the folder.
The package holds the window (karuneo), the command-line tool (karuneo-cli)
and a Dolphin service menu; a Nautilus script and a Thunar action are in
/usr/share/karuneo.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME karuneo-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_VENDOR "カルネオ")
  # The installer needs makensis (scripts/install-deps.sh windows); without
  # it only the zip is made.
  find_program(KARUNEO_MAKENSIS makensis)
  if(KARUNEO_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
  else()
    message(WARNING "makensis not found: cpack makes the zip but no installer")
  endif()
  # Our own template: CPack's asks for an administrator and writes to the
  # machine's registry; this one installs for the current user only.
  set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/window/karuneo.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/window/karuneo.ico)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows/cpack_per_generator.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt loads its platform plugin at run time, so the computed dependencies
  # miss it, and without it the window does not start at all.
  if(KARUNEO_BUILD_WINDOW)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  endif()
  # The window's texts are Japanese; without a Japanese font they show as boxes.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-japanese-gothic")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
