# Records a script's match with the simulator, then plays the replay back and expects the
# same ending:  cmake -DSIM=... -DSCRIPT=... -DREPLAY=... -P record_and_replay.cmake
execute_process(COMMAND ${SIM} --record ${REPLAY} ${SCRIPT} RESULT_VARIABLE code ERROR_VARIABLE err
                OUTPUT_QUIET)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "recording exited with ${code}: ${err}")
endif()
execute_process(COMMAND ${SIM} --replay ${REPLAY} RESULT_VARIABLE code OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT out MATCHES "result: as recorded")
  message(FATAL_ERROR "the replay exited with ${code}:\n${out}${err}")
endif()
message(STATUS "${out}")
