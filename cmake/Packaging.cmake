# cpack makes, on Linux, two Debian packages: karuneo-cli_<version>_amd64.deb
# (the command-line tool, without Qt) and karuneo_<version>_amd64.deb (the
# window, which depends on the first); in the Windows cross build
# karuneo-<version>-win64.zip and the per-user installer
# karuneo-<version>-setup.exe, all from the install rules.
set(CPACK_PACKAGE_NAME karuneo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(KARUNEO_MAINTAINER "カルネオ maintainers <maintainers@users.noreply.c-seed-6874140f.example>"
    CACHE STRING "Maintainer named in the packages")
set(CPACK_PACKAGE_CONTACT ${KARUNEO_MAINTAINER})
set(karuneo_what_it_does
    "Given a folder that holds nothing but a chain of single subfolders, it
moves the contents of the deepest folder up into that folder and removes the
emptied chain. Nothing is overwritten, copied or deleted unless it is an
empty folder of the chain, and links are never followed out of the folder.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME karuneo-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_VENDOR "カルネオ")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flattens folders that come wrapped in useless layers")
  set(CPACK_PACKAGE_DESCRIPTION "${karuneo_what_it_does}")
  # The zip and the installer each hold every install component.
  set(CPACK_MONOLITHIC_INSTALL ON)
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
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # One package per install component (app/CMakeLists.txt names them), so
  # that a server can take the command-line tool without Qt.
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_CLI_PACKAGE_NAME karuneo-cli)
  set(CPACK_DEBIAN_CLI_DESCRIPTION
      "flattens folders that come wrapped in useless layers (command line)
${karuneo_what_it_does}
This package holds the command-line tool, karuneo-cli, which needs no
graphical toolkit.")
  set(CPACK_COMPONENTS_ALL cli)
  if(KARUNEO_BUILD_WINDOW)
    list(APPEND CPACK_COMPONENTS_ALL window)
    set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME karuneo)
    # Depends on karuneo-cli of the same version (CPACK_COMPONENT_*_DEPENDS).
    set(CPACK_COMPONENT_WINDOW_DEPENDS cli)
    # The window's texts are Japanese: without a Japanese font every label
    # is a row of boxes, so a font is a dependency, not a recommendation.
    # Qt's X11 platform plugin is in libqt6gui6, which the computed
    # dependencies already name; Wayland's is optional.
    set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
    set(CPACK_DEBIAN_WINDOW_PACKAGE_SUGGESTS qt6-wayland)
    set(CPACK_DEBIAN_WINDOW_DESCRIPTION
        "flattens folders that come wrapped in useless layers
${karuneo_what_it_does}
This package holds the window (karuneo) and a Dolphin service menu and
file-manager actions; a Nautilus script and a Thunar action are in
/usr/share/karuneo.")
  endif()
endif()

include(CPack)
