# Tests of the Windows build run under Wine, on an Xvfb display, in a Wine prefix of this build
# folder. A fixture prepares the prefix and starts Xvfb and a persistent wineserver once per run.
set(WINE_SESSION ${CMAKE_SOURCE_DIR}/tools/wine-session)
# The same display number as tools/wine-session derives from the build folder.
string(MD5 build_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${build_hash}" 0 3 build_hash)
math(EXPR WINE_DISPLAY_NUMBER "0x${build_hash} % 400 + 100")
set(WINE_TEST_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" WINEARCH=win64 WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml=" LANG=C.UTF-8 LC_ALL=C.UTF-8 "DISPLAY=:${WINE_DISPLAY_NUMBER}")

add_test(NAME wine_session_start COMMAND ${WINE_SESSION} start ${CMAKE_BINARY_DIR})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
add_test(NAME wine_session_stop COMMAND ${WINE_SESSION} stop ${CMAKE_BINARY_DIR})
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# A short test that hangs costs two minutes at most. Tests of a suite named *LongRun run for minutes:
# they carry the label "long", which the test command leaves out unless asked (tools/test-all
# --long). Further arguments are environment entries of these tests only.
function(codeeingabe_add_gtests target)
  gtest_add_tests(TARGET ${target} TEST_LIST added)
  set(environment ${WINE_TEST_ENVIRONMENT} ${ARGN})
  set_tests_properties(${added} PROPERTIES ENVIRONMENT "${environment}" FIXTURES_REQUIRED wine RUN_SERIAL TRUE
                                           TIMEOUT 120 ${GTEST_COMPLETE_RUN})
  list(FILTER added INCLUDE REGEX "LongRun\\.")
  if(added)
    set_tests_properties(${added} PROPERTIES LABELS long TIMEOUT 1800)
  endif()
endfunction()
