# Runs the simulator and checks its exit code and, when asked, a line of its error output:
#   cmake -DSIM=... -DSCRIPT=... -DEXPECT_CODE=2 [-DEXPECT_ERROR=regex] -P check_exit.cmake
execute_process(COMMAND ${SIM} ${SCRIPT} RESULT_VARIABLE code ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT code STREQUAL EXPECT_CODE)
  message(FATAL_ERROR "krelmo-sim exited with ${code}, expected ${EXPECT_CODE}: ${err}")
endif()
if(DEFINED EXPECT_ERROR AND NOT err MATCHES "${EXPECT_ERROR}")
  message(FATAL_ERROR "error output does not match '${EXPECT_ERROR}': ${err}")
endif()
