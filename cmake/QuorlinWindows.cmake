# What a program needs on Windows beyond its sources: the application icon and
# version information, compiled into the .exe as a Windows resource.
#
#   quorlin_windows_resource(<target> <description>)
#
# Does nothing elsewhere. The version comes from the project's version
# (2025.10.09 -> 2025,10,9,0).
if(WIN32)
  enable_language(RC)
endif()

function(quorlin_windows_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(QUORLIN_RC_TARGET ${target})
  set(QUORLIN_RC_DESCRIPTION "${description}")
  set(QUORLIN_RC_ICON "${PROJECT_SOURCE_DIR}/resources/icon/icon.ico")
  # Version numbers without leading zeros, which the resource compiler would
  # read as octal.
  set(parts)
  foreach(part MAJOR MINOR PATCH)
    math(EXPR number "${PROJECT_VERSION_${part}} + 0")
    list(APPEND parts ${number})
  endforeach()
  list(APPEND parts 0)
  string(REPLACE ";" "," QUORLIN_RC_VERSION_COMMAS "${parts}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
