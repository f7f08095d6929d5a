# The operator's ZIP, Codeeingabe-<version>.zip: both programs, the guide and the licence. It is
# packed by the x86_64 build; tools/release builds the i686 program first and names it here with
# CODEEINGABE_PACKAGE_X86. The version is the project's, as in the programs' version resource.
if(NOT (WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64"))
  return()
endif()

set(CODEEINGABE_PACKAGE_X86 "" CACHE FILEPATH "The i686 Codelist.exe to pack beside this build's own")

# Debian's python3-markdown, not a Python of the user's own: that one may lack the module.
set(GUIDE_SOURCE ${CMAKE_SOURCE_DIR}/docs/Bedienung.md)
set(GUIDE_HTML ${CMAKE_BINARY_DIR}/Bedienung.html)
file(GLOB GUIDE_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/images/*.png)
add_custom_command(OUTPUT ${GUIDE_HTML}
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/packaging/render_guide.py ${GUIDE_SOURCE} ${GUIDE_HTML}
          ${PROJECT_VERSION}
  DEPENDS ${GUIDE_SOURCE} ${GUIDE_IMAGES} ${CMAKE_SOURCE_DIR}/packaging/render_guide.py
  COMMENT "Rendering the operator guide")
add_custom_target(guide DEPENDS ${GUIDE_HTML})

# Folder names as Windows itself names the two kinds of system ("64-Bit-Betriebssystem").
install(TARGETS Codelist RUNTIME DESTINATION 64-Bit)
if(CODEEINGABE_PACKAGE_X86)
  install(PROGRAMS ${CODEEINGABE_PACKAGE_X86} DESTINATION 32-Bit)
else()
  install(CODE "message(FATAL_ERROR \"No i686 program to pack: run tools/release\")")
endif()
install(FILES ${GUIDE_HTML} DESTINATION .)
# CR LF: the Notepad of older Windows shows a text with bare LF ends as one long line.
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)

# The External generator stages the files; our script zips them reproducibly.
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/packaging/zip_package.cmake)
set(CPACK_PACKAGE_NAME Codeeingabe)
set(CPACK_PACKAGE_VENDOR "the Codeeingabe developers")
set(CPACK_PACKAGE_FILE_NAME Codeeingabe-${PROJECT_VERSION})
set(CPACK_CODEEINGABE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
include(CPack)
