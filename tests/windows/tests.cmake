# The Windows build's tests: the portable unit tests, the version record, and
# the program end to end, all under wine when cross-building.
add_executable(zprava_tests ${ZPRAVA_PORTABLE_TESTS} windows/notice_obstacles.cpp
  windows/regional_settings.cpp)
target_include_directories(zprava_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(zprava_tests PRIVATE ZPRAVA_NOTICE_CORPUS="Z:${PROJECT_SOURCE_DIR}/fuzz/corpus/notice")
target_link_libraries(zprava_tests PRIVATE zprava_app zprava_dialog zprava_warnings GTest::gtest_main)

add_executable(window_text windows/window_text.cpp)
target_compile_definitions(window_text PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(window_text PRIVATE user32)

# A Czech user: code page 1250 and Czech names, as on the machines the notice
# files come from. A private prefix keeps wine's settings out of the home folder.
set(WINE_ENVIRONMENT
  "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml="
  "LANG=cs_CZ.UTF-8"
  "LC_ALL=cs_CZ.UTF-8")

# Where wine cannot start, the build still had to pass; the run says why it stopped.
add_test(NAME windows.unit COMMAND sh -c
  "wine cmd /c exit 0 >/dev/null 2>&1 || { echo 'skipped: wine cannot start here'; exit 77; }; exec wine \"$0\""
  $<TARGET_FILE:zprava_tests>)
add_test(NAME windows.version_record
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_resource_test.py
          $<TARGET_FILE:zprava>)
add_test(NAME windows.message_box
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_test.py
          $<TARGET_FILE:zprava> $<TARGET_FILE:window_text>)
# The user's regional settings are fixed for a process's life: the header
# tests run once more under each of the other settings they cover.
foreach(locale C pl_PL.UTF-8)
  add_test(NAME windows.header.${locale} COMMAND sh -c
    "wine cmd /c exit 0 >/dev/null 2>&1 || { echo 'skipped: wine cannot start here'; exit 77; }; exec wine \"$0\" --gtest_filter=FormatHeaderDate.*"
    $<TARGET_FILE:zprava_tests>)
  set_tests_properties(windows.header.${locale} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600
    ENVIRONMENT "${WINE_ENVIRONMENT};LANG=${locale};LC_ALL=${locale}")
endforeach()
set_tests_properties(windows.unit PROPERTIES SKIP_RETURN_CODE 77)
set_tests_properties(windows.unit windows.message_box PROPERTIES
  TIMEOUT 600 ENVIRONMENT "${WINE_ENVIRONMENT};ZPRAVA_SCREENSHOTS=${CMAKE_BINARY_DIR}/screenshots")

# The installer, where it was built: its tables, and an install, run,
# upgrade (to a package the same script builds) and uninstall under wine in
# a prefix of its own.
if(TARGET msi)
  add_test(NAME windows.msi
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows_msi_test.py
            ${CMAKE_BINARY_DIR}/zprava-${PROJECT_VERSION}-x64.msi $<TARGET_FILE:window_text>)
  set_tests_properties(windows.msi PROPERTIES TIMEOUT 600 ENVIRONMENT
    "${WINE_ENVIRONMENT};WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-msi;ZPRAVA_CMAKE=${CMAKE_COMMAND};ZPRAVA_BUILD_MSI=${PROJECT_SOURCE_DIR}/cmake/BuildMsi.cmake")
endif()
