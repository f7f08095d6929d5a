# The Windows shell: windows, controls, host link. Linked into the program and the Wine tests.
add_library(codeeingabe_shell STATIC
  app/forms_win.cpp
  platform/special_folder_win.cpp
  ui/form_win.cpp
  ui/twips_win.cpp
  ui/window_text_win.cpp
  ui/ansi_text_win.cpp
  codelist/journal_win.cpp
  # host mode
  credit/frm_creditsystem_win.cpp
  credit/host_link_win.cpp
  platform/waitable_timer_win.cpp
  codelist/frm_master_win.cpp
  ui/frm_info_win.cpp
  ui/frm_info_picture_win.cpp
  ui/colour_button_win.cpp
  ui/painted_label_win.cpp
  ui/buffered_paint_win.cpp
  ui/font_fallback_win.cpp
  # settings mode
  codelist/frm_einstellungen_win.cpp
  codelist/frm_einstellungen_layout_win.cpp
  codelist/message_box_win.cpp
  codelist/open_with_shell_win.cpp
  codelist/system_random_win.cpp
  codelist/user_number_format_win.cpp
)
target_link_libraries(codeeingabe_shell PUBLIC codeeingabe_core comctl32 shell32 ole32 windowscodecs gdi32 user32)
# Settings mode draws the code digits from the system's cryptographic generator.
target_link_libraries(codeeingabe_shell PUBLIC bcrypt)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  set(MANIFEST_ARCHITECTURE x86)
else()
  set(MANIFEST_ARCHITECTURE amd64)
endif()
set(RES_DIR ${CMAKE_CURRENT_SOURCE_DIR}/ui/res)
set(MANIFEST_FILE ${CMAKE_CURRENT_BINARY_DIR}/Codelist.manifest)
configure_file(ui/res/Codelist.manifest.in ${MANIFEST_FILE} @ONLY)
configure_file(ui/res/codelist.rc.in ${CMAKE_CURRENT_BINARY_DIR}/codelist.rc @ONLY)

add_executable(Codelist WIN32 app/start_win.cpp ${CMAKE_CURRENT_BINARY_DIR}/codelist.rc)
target_include_directories(Codelist PRIVATE ${RES_DIR})
target_link_options(Codelist PRIVATE -municode)
# The shipped program carries no symbols. (--gc-sections would not help: MinGW's linker keeps every
# function's unwind entry, and with it the function.)
target_link_options(Codelist PRIVATE $<$<CONFIG:Release>:-s>)
target_link_libraries(Codelist PRIVATE codeeingabe_shell)
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/codelist.rc APPEND PROPERTY OBJECT_DEPENDS
  ${RES_DIR}/Codelist.ico ${RES_DIR}/lock_notice.png ${MANIFEST_FILE})
