# Runs obrin-cli gtp on a scripted session and compares its whole output.
execute_process(COMMAND ${CLI} gtp INPUT_FILE ${DIR}/session.gtp OUTPUT_VARIABLE out RESULT_VARIABLE rc)
file(READ ${DIR}/session.expected expected)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "obrin-cli gtp exited with ${rc}")
endif()
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "unexpected GTP output:\n${out}")
endif()
