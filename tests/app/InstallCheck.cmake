# Installs the build into a fresh prefix and starts the installed desktop
# entry the way a desktop would, with a stand-in program that reports
# where it was started. (The package test validates the installed desktop
# entry and AppStream file and checks every installed path.)
# Needs: BUILD_DIR, WORK_DIR.
set(prefix "${WORK_DIR}/prefix")
set(desktop "${prefix}/share/applications/kanaroku.desktop")
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0 OR NOT EXISTS "${desktop}")
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

# The entry must start the program in the per-user data folder, creating
# it, even when the path holds a blank.
set(report "${WORK_DIR}/started-in.txt")
set(data "${WORK_DIR}/data home")
file(WRITE "${WORK_DIR}/fakebin/kanaroku" "#!/bin/sh\npwd > '${report}'\n")
file(CHMOD "${WORK_DIR}/fakebin/kanaroku" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "PATH=${WORK_DIR}/fakebin:$ENV{PATH}" "HOME=${WORK_DIR}/home" "XDG_DATA_HOME=${data}"
          gio launch "${desktop}"
  RESULT_VARIABLE rc ERROR_VARIABLE err)
foreach(attempt RANGE 50)
  if(EXISTS "${report}")
    break()
  endif()
  execute_process(COMMAND sleep 0.1)
endforeach()
set(startedIn "")
if(EXISTS "${report}")
  file(STRINGS "${report}" startedIn)
endif()
if(NOT rc EQUAL 0 OR NOT startedIn STREQUAL "${data}/kanaroku")
  message(FATAL_ERROR "gio launch (${rc}: ${err}) started kanaroku in '${startedIn}', not in '${data}/kanaroku'")
endif()
