# Runs PROGRAM with ARGUMENTS (a list) and writes its output to OUTPUT; with GZIP, compresses
# it the way Debian wants (gzip -9n: no name or time stamp, so builds are reproducible) into
# OUTPUT.gz. Used with cmake -P by the build.
execute_process(COMMAND "${PROGRAM}" ${ARGUMENTS} OUTPUT_FILE "${OUTPUT}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENTS} failed: ${status}")
endif()
if(GZIP)
  find_program(GZIP_PROGRAM gzip REQUIRED)
  execute_process(COMMAND "${GZIP_PROGRAM}" -9nf "${OUTPUT}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${OUTPUT} failed: ${status}")
  endif()
endif()
