# Windows: every executable of the build carries the program's version
# resource (FileVersion and ProductVersion from the project version), which
# the About page and vexa-rec --version read back. Call
# vexa_version_resources() once, after every target exists.
set(_vexa_rc_template ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)

# One target: its own copy of the resource, named after its file. A target
# with the property VEXA_OWN_VERSION_RESOURCE brings its own (or none); the
# property VEXA_DESCRIPTION gives its FileDescription.
function(vexa_version_resource target)
  get_target_property(_own ${target} VEXA_OWN_VERSION_RESOURCE)
  if(_own)
    return()
  endif()
  get_target_property(VEXA_RC_DESCRIPTION ${target} VEXA_DESCRIPTION)
  if(NOT VEXA_RC_DESCRIPTION)
    set(VEXA_RC_DESCRIPTION "${PROJECT_DESCRIPTION}")
  endif()
  get_target_property(VEXA_RC_NAME ${target} OUTPUT_NAME)
  if(NOT VEXA_RC_NAME)
    set(VEXA_RC_NAME ${target})
  endif()
  set(VEXA_RC_FILE ${VEXA_RC_NAME}${CMAKE_EXECUTABLE_SUFFIX})
  set(_rc ${PROJECT_BINARY_DIR}/version-resources/${target}.rc)
  configure_file(${_vexa_rc_template} ${_rc} @ONLY)
  target_sources(${target} PRIVATE ${_rc})
endfunction()

function(_vexa_version_resources_in dir)
  get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(_target IN LISTS _targets)
    get_target_property(_type ${_target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      vexa_version_resource(${_target})
    endif()
  endforeach()
  get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(_subdir IN LISTS _subdirs)
    _vexa_version_resources_in(${_subdir})
  endforeach()
endfunction()

# Every executable target of the project gets its resource.
function(vexa_version_resources)
  if(WIN32)
    _vexa_version_resources_in(${PROJECT_SOURCE_DIR})
  endif()
endfunction()
