# Windows test executables run under Wine, in a prefix of their own under the
# build folder so that a test run never touches the user's ~/.wine.
# scripts/wine.sh holds how Wine is found and set up, for the scripts too.
set(KARUNEO_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
set(karuneo_wine_runner env WINEPREFIX=${KARUNEO_WINEPREFIX} ${PROJECT_SOURCE_DIR}/scripts/wine.sh)
execute_process(COMMAND ${karuneo_wine_runner} --version
                RESULT_VARIABLE karuneo_wine_status OUTPUT_QUIET ERROR_QUIET)
if(NOT karuneo_wine_status EQUAL 0)
  message(WARNING "Wine not found: the Windows tests can be built but not run here")
  return()
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${karuneo_wine_runner})
