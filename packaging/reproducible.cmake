# Same sources, same bytes: the shipped programs must not depend on when or where they were built.
if(WIN32)
  # No build machine's folders in the programs (__FILE__, debug info).
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
  # The PE header's link time would differ on every build.
  add_link_options(-Wl,--no-insert-timestamp)
endif()
