# Warnings per target (vexa_warnings) and sanitizers for the whole build.

add_library(vexa_warnings INTERFACE)
if(MSVC)
  target_compile_options(vexa_warnings INTERFACE /W4 $<$<BOOL:${VEXA_WERROR}>:/WX>)
else()
  target_compile_options(vexa_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
    $<$<BOOL:${VEXA_WERROR}>:-Werror>)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports false -Wrestrict overlaps inside std::string at -O3 (GCC bug 105329).
    target_compile_options(vexa_warnings INTERFACE -Wno-restrict)
  endif()
endif()

if(VEXA_SANITIZE)
  add_compile_options(-fsanitize=${VEXA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VEXA_SANITIZE})
endif()

find_package(Threads REQUIRED)

# Adds one library of the UI-free core from every .cpp of the folder; the
# platform-specific sources carry a _posix / _win32 suffix and are picked here.
function(vexa_layer_library name)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    list(FILTER _sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER _sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(NOT _sources)
    # A layer that has no sources yet still links as a library.
    set(_empty ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${_empty} "")
    set(_sources ${_empty})
  endif()
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE vexa_warnings)
endfunction()
