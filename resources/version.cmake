# The version is written once, in the top-level project(); the code, the Windows resources, the
# man pages, the AppStream file and the packages take it from here. The release date is written
# here once, in ISO form, and spelled the other ways it is shown.
set(MORAVEL_RELEASE_DATE 2013-12-30)

# Windows version blocks want four numbers.
set(MORAVEL_VERSION_WINDOWS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
if(NOT "${PROJECT_VERSION_TWEAK}" STREQUAL "")
  set(MORAVEL_VERSION_WINDOWS "${PROJECT_VERSION}")
endif()
string(REPLACE "." "," MORAVEL_VERSION_COMMAS "${MORAVEL_VERSION_WINDOWS}")

# "December 30 2013" for the About window, and the RFC 2822 date of the Debian changelog.
string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" _ "${MORAVEL_RELEASE_DATE}")
math(EXPR _year "${CMAKE_MATCH_1}")
math(EXPR _month "${CMAKE_MATCH_2} - 1")
math(EXPR _day "${CMAKE_MATCH_3}")
set(_months January February March April May June July August September October November December)
list(GET _months ${_month} _month_name)
set(MORAVEL_RELEASE_DATE_TEXT "${_month_name} ${_day} ${_year}")
# Sakamoto's weekday formula (0 is Sunday).
set(_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET _offsets ${_month} _offset)
set(_y ${_year})
if(_month LESS 2)
  math(EXPR _y "${_year} - 1")
endif()
math(EXPR _weekday "(${_y} + ${_y} / 4 - ${_y} / 100 + ${_y} / 400 + ${_offset} + ${_day}) % 7")
set(_weekdays Sun Mon Tue Wed Thu Fri Sat)
list(GET _weekdays ${_weekday} _weekday_name)
string(SUBSTRING "${_month_name}" 0 3 _month_short)
set(MORAVEL_RELEASE_DATE_RFC2822 "${_weekday_name}, ${_day} ${_month_short} ${_year} 00:00:00 +0000")

configure_file(${CMAKE_CURRENT_LIST_DIR}/moravel_version.h.in ${CMAKE_BINARY_DIR}/generated/moravel_version.h @ONLY)
add_library(moravel_version INTERFACE)
target_include_directories(moravel_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
