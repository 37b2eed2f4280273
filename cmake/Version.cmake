# Turns the project version into the "1.00.0001" form of the version record
# (major, two-digit minor, four-digit revision) and writes it into a header.
string(LENGTH "${PROJECT_VERSION_MINOR}" _minor_len)
set(ZPRAVA_VERSION_MINOR_PADDED "${PROJECT_VERSION_MINOR}")
if(_minor_len LESS 2)
  set(ZPRAVA_VERSION_MINOR_PADDED "0${PROJECT_VERSION_MINOR}")
endif()
string(LENGTH "${PROJECT_VERSION_TWEAK}" _tweak_len)
math(EXPR _pad "4 - ${_tweak_len}")
string(REPEAT "0" ${_pad} _zeros)
set(ZPRAVA_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${ZPRAVA_VERSION_MINOR_PADDED}.${_zeros}${PROJECT_VERSION_TWEAK}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/zprava/version.h @ONLY)
add_library(zprava_version INTERFACE)
target_include_directories(zprava_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
