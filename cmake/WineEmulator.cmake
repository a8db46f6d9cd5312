# Windows test executables run under Wine, in a prefix of their own under the
# build folder so that a test run never touches the user's ~/.wine.
find_program(KARUNEO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KARUNEO_WINE NAMES wine64 wine)
if(NOT KARUNEO_WINE)
  message(WARNING "Wine not found: the Windows tests can be built but not run here")
  return()
endif()
set(KARUNEO_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${KARUNEO_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    ${KARUNEO_WINE})
# Listing the tests at build time would start Wine during every build; list
# them when ctest runs instead, when scripts/test-windows.sh has Wine ready.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
