# QUORLIN_SANITIZE: build everything with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any report ends the process with an error, so a
# test that trips one fails.
option(QUORLIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUORLIN_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "QUORLIN_SANITIZE needs GCC or Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
