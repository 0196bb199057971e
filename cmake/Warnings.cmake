# Warnings every target of the project gets (third-party code is added separately).
function(yar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()
