# FindEDFlib: EDFlib, the C library that writes (and reads) EDF+ files.
#
# Looks, in this order, for
#   1. a copy under CMAKE_PREFIX_PATH laid out as <prefix>/include/edflib.h and
#      <prefix>/lib/libedf.a (the Windows cross build compiles Debian's edflib
#      source package into such a cache folder); these folders are searched
#      as given, also when a cross toolchain re-roots every other search;
#   2. the system's: Debian's libedf-dev (/usr/include/edflib.h,
#      /usr/lib/<triplet>/libedf.so).
#
# Defines EDFlib_FOUND, EDFlib_INCLUDE_DIR, EDFlib_LIBRARY and the imported
# target EDFlib::EDFlib. The exporter is written against EDFlib 1.23 (Debian
# 12's) and 1.27 (the Windows build's); edflib_version() tells at run time
# which one a program has.

find_path(EDFlib_INCLUDE_DIR edflib.h
  PATHS ${CMAKE_PREFIX_PATH} PATH_SUFFIXES include
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(EDFlib_LIBRARY NAMES libedf.a edf
  PATHS ${CMAKE_PREFIX_PATH} PATH_SUFFIXES lib
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_path(EDFlib_INCLUDE_DIR edflib.h)
find_library(EDFlib_LIBRARY NAMES edf)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(EDFlib REQUIRED_VARS EDFlib_LIBRARY EDFlib_INCLUDE_DIR)
mark_as_advanced(EDFlib_INCLUDE_DIR EDFlib_LIBRARY)

if(EDFlib_FOUND AND NOT TARGET EDFlib::EDFlib)
  add_library(EDFlib::EDFlib UNKNOWN IMPORTED)
  set_target_properties(EDFlib::EDFlib PROPERTIES
    IMPORTED_LOCATION "${EDFlib_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${EDFlib_INCLUDE_DIR}")
endif()
