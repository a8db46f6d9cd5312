# A file that differs by operating system comes in two beside the header
# they implement: NAME_win32.cpp, and NAME_posix.cpp or, where it needs what
# only Linux has (statx, renameat2, O_PATH), NAME_linux.cpp. A target gets the
# one for the system it is built for.
function(karuneo_platform_sources target)
  foreach(name IN LISTS ARGN)
    if(WIN32)
      target_sources(${target} PRIVATE ${name}_win32.cpp)
    elseif(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}_linux.cpp)
      target_sources(${target} PRIVATE ${name}_linux.cpp)
    else()
      target_sources(${target} PRIVATE ${name}_posix.cpp)
    endif()
  endforeach()
endfunction()
