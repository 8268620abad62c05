# The include check on a small tree of its own: every kind of reach it must refuse is there
# once, beside includes it must let through, and tables with a circle are refused.
# Run as: cmake -DSOURCE=<repository> -DWORK=<scratch folder> -P LayerCheckTest.cmake
cmake_minimum_required(VERSION 3.25)

function(put path text)
  file(WRITE ${WORK}/${path} "${text}")
endfunction()

# Runs the check on WORK: rc and its report in faults.
macro(check)
  file(REMOVE ${WORK}/stamp)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -DSTAMP=${WORK}/stamp
                          -P ${SOURCE}/cmake/CheckLayers.cmake
                  RESULT_VARIABLE rc ERROR_VARIABLE faults)
endmacro()

# Notes what unless the rest of the arguments, an if() condition, holds.
set(failures "")
macro(expect what)
  if(NOT (${ARGN}))
    string(APPEND failures "  ${what}\n")
  endif()
endmacro()

file(REMOVE_RECURSE ${WORK})
put(cmake/KalvorLayers.cmake
    "set(KALVOR_LAYERS \"low: \" \"low/deep: low\" \"mid: low\" \"top: low mid\")\n")
put(low/Base.h "#include <vector>\n#include \"Base2.h\"\n")
put(low/Base2.h "")
put(low/deep/Deep.h "#include \"low/Base.h\"\n")
put(mid/Mid.h "#include \"low/deep/Deep.h\"\n#include \"../low/Base.h\"\n")
put(top/Top.h "#include \"mid/Mid.h\"\n#include <low/deep/Deep.h>\n")
check()
expect("a tree that keeps its layers was refused: ${faults}" rc EQUAL 0 AND EXISTS ${WORK}/stamp)

put(mid/Up.cpp "#include \"top/Top.h\"\n")
put(mid/Beside.cpp "  #  include \"../top/Top.h\"\n")
put(low/Angle.h "#include <mid/Mid.h>\n")
put(low/deep/Up.h "#include \"mid/Mid.h\"\n")
put(low/Out.h "#include \"../../elsewhere/Out.h\"\n")
check()
string(REGEX MATCHALL "\n +[^ \n]+ includes [^\n]*" found "${faults}")
list(LENGTH found count)
expect("5 faults expected: ${faults}" NOT rc EQUAL 0 AND count EQUAL 5 AND NOT EXISTS ${WORK}/stamp)
foreach(line
    "mid/Up.cpp includes top/Top.h (mid may not reach top)"
    "mid/Beside.cpp includes top/Top.h (mid may not reach top)"
    "low/Angle.h includes mid/Mid.h (low may not reach mid)"
    "low/deep/Up.h includes mid/Mid.h (low/deep may not reach mid)"
    "low/Out.h includes ../../elsewhere/Out.h, outside the repository's folders"
    # Rows that reach each other, directly or through a folder inside a named one.
    "|\"low: mid\" \"mid: low\"|the row of low names mid, which is not a row above it"
    "|\"low: \" \"mid: low\" \"low/deep: low\"|the row of mid names low, which holds low/deep")
  if(line MATCHES "^\\|([^|]*)\\|(.*)")
    set(line "${CMAKE_MATCH_2}")
    file(REMOVE_RECURSE ${WORK}/mid ${WORK}/top)
    put(cmake/KalvorLayers.cmake "set(KALVOR_LAYERS ${CMAKE_MATCH_1})\n")
    check()
  endif()
  string(FIND "${faults}" "${line}" at)
  expect("not reported: ${line}" NOT rc EQUAL 0 AND at GREATER -1)
endforeach()

if(failures)
  message(FATAL_ERROR "The include check:\n${failures}")
endif()
