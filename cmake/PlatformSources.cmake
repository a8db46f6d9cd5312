# A file that differs by operating system comes in two, NAME_win32.cpp and
# NAME_posix.cpp, beside each other; a target gets the one for the system it
# is built for.
function(karuneo_platform_sources target)
  if(WIN32)
    set(system win32)
  else()
    set(system posix)
  endif()
  foreach(name IN LISTS ARGN)
    target_sources(${target} PRIVATE ${name}_${system}.cpp)
  endforeach()
endfunction()
