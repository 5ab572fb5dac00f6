# Run by cpack before it packs (CPACK_PRE_BUILD_SCRIPTS), in the packaging test's second cpack
# run: gives the staged files other times and modes, as another build of the same sources at
# another time, with another umask, would have.
file(GLOB_RECURSE files LIST_DIRECTORIES false ${CPACK_TEMPORARY_DIRECTORY}/*)
set(time 1000000000)
foreach(file IN LISTS files)
  math(EXPR time "${time} + 86461")
  execute_process(COMMAND touch -d @${time} ${file} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND chmod go-rwx ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
