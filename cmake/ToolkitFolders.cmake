# Each layer that has a window part splits it alike: qt/ holds the Qt
# widgets, built with the Qt window; win32/ the native ones, built for
# Windows. What knows no toolkit stays beside them, in rules/.
function(karuneo_add_toolkit_folders)
  if(KARUNEO_BUILD_WINDOW)
    add_subdirectory(qt)
  endif()
  if(WIN32)
    add_subdirectory(win32)
  endif()
endfunction()
