# Fails when a tr() text of the code has no finished translation in a .ts
# file, or when a .ts file still holds an entry the code no longer has.
#
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repo> -DWORK_DIR=<scratch> -P check_translations.cmake

file(GLOB_RECURSE sources
  ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
  ${SOURCE_DIR}/panels/*.cpp ${SOURCE_DIR}/panels/*.h
  ${SOURCE_DIR}/presets/*.cpp ${SOURCE_DIR}/presets/*.h
  ${SOURCE_DIR}/settings/*.cpp ${SOURCE_DIR}/settings/*.h
  ${SOURCE_DIR}/controls/*.cpp ${SOURCE_DIR}/controls/*.h)
file(GLOB ts_files ${SOURCE_DIR}/translations/*.ts)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

set(problems "")
foreach(ts ${ts_files})
  get_filename_component(name ${ts} NAME)
  set(copy ${WORK_DIR}/${name})
  file(COPY_FILE ${ts} ${copy})
  execute_process(COMMAND ${LUPDATE} -silent -locations none ${sources} -ts ${copy}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}: ${output}")
  endif()
  file(STRINGS ${copy} lines ENCODING UTF-8)
  set(source "")
  foreach(line IN LISTS lines)
    if(line MATCHES "<source>(.*)</source>")
      set(source "${CMAKE_MATCH_1}")
    elseif(line MATCHES "type=\"unfinished\"")
      string(APPEND problems "  ${name}: no finished translation for \"${source}\"\n")
    elseif(line MATCHES "type=\"(vanished|obsolete)\"")
      string(APPEND problems "  ${name}: \"${source}\" is no longer in the code\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Translations out of step with the code:\n${problems}")
endif()
message(STATUS "Every tr() text has a finished translation in ${ts_files}")
