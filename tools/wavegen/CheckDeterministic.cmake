# Runs wavegen twice and compares both outputs with each other and with the embedded image.
foreach(run 1 2)
  execute_process(COMMAND ${WAVEGEN} ${WORK}/waverom_run${run}.wav RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "wavegen run ${run} failed: ${result}")
  endif()
endforeach()
foreach(other ${WORK}/waverom_run2.wav ${EMBEDDED})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/waverom_run1.wav ${other}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "wavegen output differs from ${other}")
  endif()
endforeach()
