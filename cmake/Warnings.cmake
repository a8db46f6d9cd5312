# Applied per target so that third-party code keeps its own flags.
function(karuneo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(KARUNEO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
