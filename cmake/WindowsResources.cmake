# yar_windows_resources(target description [ADMINISTRATOR]): gives a Windows program the project's
# icon and a version resource (product and file version from the project's version, the company and
# this description). ADMINISTRATOR adds the application manifest of the programs that change the
# machine: they run as administrator, name the Windows versions they were tested for, take the visual
# style of common controls 6, and scale their layout to each monitor's resolution themselves. Does nothing for other targets than Windows.
set(YAR_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/res)

function(yar_windows_resources target description)
  cmake_parse_arguments(ARG "ADMINISTRATOR" "" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(YAR_RC_DESCRIPTION "${description}")
  set(YAR_RC_FILE_NAME "${name}.exe")
  set(YAR_RC_ICON "${YAR_RESOURCE_DIR}/yar.ico")
  set(YAR_RC_MANIFEST "")
  set(depends ${YAR_RC_ICON} ${CMAKE_BINARY_DIR}/generated/Version.h)
  if(ARG_ADMINISTRATOR)
    set(YAR_RC_MANIFEST "1 24 \"${YAR_RESOURCE_DIR}/administrator.manifest\"")
    list(APPEND depends ${YAR_RESOURCE_DIR}/administrator.manifest)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc)
  configure_file(${YAR_RESOURCE_DIR}/resources.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${depends}")
  target_sources(${target} PRIVATE ${rc})
endfunction()
