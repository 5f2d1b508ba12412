# QUORLIN_SANITIZE: build everything with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any report ends the process with an error, so a
# test that trips one fails.
option(QUORLIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUORLIN_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "QUORLIN_SANITIZE needs GCC or Clang")
  endif()
  # -O1 as the sanitizers advise, and line tables only (-g1): the reports'
  # stack traces keep their functions, files and lines, and the build takes
  # about a third less time than with full debug information. Given last, they
  # override the build type's levels.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -O1 -g1)
  add_link_options(-fsanitize=address,undefined)
endif()
