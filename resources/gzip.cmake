# cmake -DIN=file -DOUT=file.gz -P gzip.cmake: compresses one file (manual pages, the
# changelog) as `gzip -9n` does: best compression, no file name and no time stamp in the
# header, so the same input always gives the same bytes.
get_filename_component(outdir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${outdir})
find_program(GZIP_PROGRAM gzip REQUIRED)
execute_process(COMMAND ${GZIP_PROGRAM} -9n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN} failed: ${rc}")
endif()
