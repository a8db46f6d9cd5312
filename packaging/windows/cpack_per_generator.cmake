# Read by cpack once per generator: the zip and the installer share the
# install tree but not a file name.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "karuneo-${CPACK_PACKAGE_VERSION}-setup")
endif()
