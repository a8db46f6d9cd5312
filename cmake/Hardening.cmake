# Debian builds its own packages with these (dpkg-buildflags' hardening set);
# the release build, which makes ours, gets them too. Not in debug builds:
# fortified functions need optimisation, and the sanitizers bring their own.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options("$<$<CONFIG:Release>:-D_FORTIFY_SOURCE=2;-fstack-protector-strong>")
  add_link_options("$<$<CONFIG:Release>:LINKER:-z,relro,-z,now>")
endif()
