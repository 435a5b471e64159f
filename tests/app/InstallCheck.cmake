# Installs the build into a fresh prefix, validates the installed desktop
# entry and AppStream file, and starts the desktop entry the way a desktop
# would, with a stand-in program that reports where it was started.
# Needs: BUILD_DIR, WORK_DIR.

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

function(run_checked)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("${ARGN} failed (${rc}):\n${out}${err}")
  endif()
  message(STATUS "${ARGN}: ok ${out}")
endfunction()

set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
run_checked(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

set(desktop "${prefix}/share/applications/kanaroku.desktop")
set(metainfo "${prefix}/share/metainfo/io.github.kanaroku.kanaroku.metainfo.xml")
foreach(installed
    "${prefix}/bin/kanaroku"
    "${desktop}"
    "${metainfo}"
    "${prefix}/share/icons/hicolor/16x16/apps/kanaroku.png"
    "${prefix}/share/icons/hicolor/32x32/apps/kanaroku.png")
  if(NOT EXISTS "${installed}")
    fail("not installed: ${installed}")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${prefix}/bin" OR IS_DIRECTORY "${prefix}/bin/kanaroku")
  fail("bin/kanaroku is not a program")
endif()

run_checked(desktop-file-validate "${desktop}")
run_checked(appstreamcli validate --no-net "${metainfo}")

# The entry must start the program in the per-user data folder, creating
# it, even when the path holds a blank.
set(fakebin "${WORK_DIR}/fakebin")
set(report "${WORK_DIR}/started-in.txt")
file(MAKE_DIRECTORY "${fakebin}")
file(WRITE "${fakebin}/kanaroku" "#!/bin/sh\npwd > '${report}'\n")
file(CHMOD "${fakebin}/kanaroku" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(data "${WORK_DIR}/data home")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "PATH=${fakebin}:$ENV{PATH}" "HOME=${WORK_DIR}/home" "XDG_DATA_HOME=${data}"
          gio launch "${desktop}"
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("gio launch failed (${rc}): ${err}")
endif()
foreach(attempt RANGE 50)
  if(EXISTS "${report}")
    break()
  endif()
  execute_process(COMMAND sleep 0.1)
endforeach()
if(NOT EXISTS "${report}")
  fail("the desktop entry did not start kanaroku")
endif()
file(READ "${report}" startedIn)
string(STRIP "${startedIn}" startedIn)
if(NOT startedIn STREQUAL "${data}/kanaroku")
  fail("started in '${startedIn}', expected '${data}/kanaroku'")
endif()
message(STATUS "desktop entry starts kanaroku in ${startedIn}")
