# Runs obrin-cli gtp on a scripted session and compares its whole output.
execute_process(COMMAND ${CLI} gtp INPUT_FILE ${DIR}/session.gtp OUTPUT_VARIABLE out RESULT_VARIABLE rc)
file(READ ${DIR}/session.expected expected)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "obrin-cli gtp exited with ${rc}")
endif()
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "unexpected GTP output:\n${out}")
endif()

# A misspelt option is refused before anything runs; --help shows the command's usage.
execute_process(COMMAND ${CLI} selfplay --gmes 1 OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 2 OR NOT err MATCHES "unknown option --gmes")
  message(FATAL_ERROR "selfplay --gmes: exit ${rc}, ${err}")
endif()
execute_process(COMMAND ${CLI} selfplay --help OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out MATCHES "selfplay \\[--games N\\]")
  message(FATAL_ERROR "selfplay --help: exit ${rc}, ${out}")
endif()
