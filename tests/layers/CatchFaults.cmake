# Runs the layer check on a small tree of its own: the tree as drawn passes, and each kind of
# fault added to it alone fails with the line that names it.
#   cmake -DCHECK=<CheckLayers.cmake> -DSCRATCH=<empty folder to use> -P CatchFaults.cmake
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE "${SCRATCH}")
file(WRITE "${SCRATCH}/docs/ARCHITECTURE.md" "Prose | with bars; and semicolons.

| folder | includes from | holds |
|---|---|---|
| `top/` | `low/a/` | the top |
| `low/a/` | `low/b/` | the middle |
| `low/b/` | | the bottom |
| `side/` | | beside the others |

| other | table |
|---|---|
| `low/b/` | `low/a/` |
")
file(WRITE "${SCRATCH}/top/T.h" "#include <vector>\n#include \"gtest/gtest.h\"\n#include \"low/b/B.h\"\n")
file(WRITE "${SCRATCH}/low/a/A.h" "#pragma once\n  #  include \"low/b/B.h\" // the layer below\n")
file(WRITE "${SCRATCH}/low/b/B.h" "#pragma once\n")
file(WRITE "${SCRATCH}/side/S.h" "#pragma once\n")
file(WRITE "${SCRATCH}/outside/O.h" "#pragma once\n")

function(check expectFault)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${SCRATCH} -P ${CHECK} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expectFault STREQUAL "")
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "The tree as drawn was refused:\n${out}")
    endif()
  elseif(result EQUAL 0 OR NOT out MATCHES "${expectFault}")
    message(FATAL_ERROR "Expected a fault matching \"${expectFault}\", got (${result}):\n${out}")
  endif()
endfunction()

# Each case: a file, its text, the fault the check must report.
set(cases
    "low/b/Up.h|#include \"low/a/A.h\"|low/b/Up.h: includes \"low/a/A.h\" from low/a/, above or beside low/b/"
    "side/S.cpp|#include \"low/b/B.h\"|side/S.cpp: includes \"low/b/B.h\" from low/b/, above or beside side/"
    "low/a/A.cpp|#include \"A.h\"|low/a/A.cpp: includes \"A.h\" without naming its folder from the root"
    "top/T.cpp|#include <outside/O.h>|top/T.cpp: includes \"outside/O.h\", which lies in no folder of the map"
    "low/c/C.h|#pragma once|low/c/C.h: lies in no folder of the map")
check("")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 path)
  list(GET parts 1 text)
  list(GET parts 2 fault)
  file(WRITE "${SCRATCH}/${path}" "${text}\n")
  string(REGEX REPLACE "([.\\\\\"()])" "\\\\\\1" pattern "${fault}")
  check("${pattern}")
  file(REMOVE "${SCRATCH}/${path}")
endforeach()
check("")
list(LENGTH cases faults)
message(STATUS "The layer check passes the tree as drawn and refuses each of its ${faults} faults")
