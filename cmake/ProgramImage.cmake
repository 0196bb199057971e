# The Windows builds' code goes into programs shipped on floppy disks (install.exe on the first disk
# beside install.cfg and a volume): compiled for size, each function and datum in a section of its own
# for the linker to drop, and with line tables (-g1) that only the separate debug file keeps. The objects
# also carry the optimiser's intermediate code for the programs' link-time optimisation; fat, and every
# other link without it (-fno-lto), so that the tests link the compiled code as before.
if(WIN32)
  add_compile_options(-Os -ffunction-sections -fdata-sections -g1 -flto -ffat-lto-objects)
  add_link_options(-fno-lto)
endif()

# yar_program_image(target): the image of a shipped Windows program. Terminal-server aware, so that on
# a terminal server Windows applies no INI and registry compatibility redirections to a program that
# runs as administrator; a relocatable image for ASLR (with high-entropy addresses where the image is
# 64-bit); DEP. tests/toolkit/check-pe.sh checks them, and the size. The program is optimised as a whole
# at the link, which drops the unreferenced functions before their unwind tables are written (the PE
# linker keeps every object's .eh_frame whole, so --gc-sections alone drops little); in one partition,
# as GCC 12 for mingw-w64 fails with an internal error in the modref pass of a partitioned link. Unused
# sections are dropped, the
# C++ library's demangling terminate handler is replaced (system/TerminateHandler.cpp), and the file
# the build leaves is the shipped one: stripped, its debug information in <program>.exe.debug beside it,
# named in its .gnu_debuglink section for a debugger reading a crash report. Does nothing for other
# targets.
function(yar_program_image target)
  if(NOT WIN32)
    return()
  endif()
  target_link_options(${target} PRIVATE -Os -flto -flto-partition=one -Wl,--tsaware -Wl,--dynamicbase -Wl,--nxcompat
                      -Wl,--gc-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  endif()
  target_link_libraries(${target} PRIVATE yar_terminate_handler)
  set(file $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
    COMMAND ${CMAKE_STRIP} --strip-all ${file}
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${file}.debug ${file}
    VERBATIM)
endfunction()
