# yar_program_image(target): the image flags of a shipped Windows program. Terminal-server aware, so
# that on a terminal server Windows applies no INI and registry compatibility redirections to a
# program that runs as administrator; a relocatable image for ASLR (with high-entropy addresses where
# the image is 64-bit); DEP. tests/toolkit/check-pe.sh checks them. Does nothing for other targets.
function(yar_program_image target)
  if(NOT WIN32)
    return()
  endif()
  target_link_options(${target} PRIVATE -Wl,--tsaware -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  endif()
endfunction()
