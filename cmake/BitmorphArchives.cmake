# Run by cpack (External generator) on the staged components: writes the product archive (the
# component bitmorph, laid out to be unpacked into a suite's root), the standalone kit (every
# component, below one folder) and SHA256SUMS. The same sources give the same bytes: entries in
# name order and without folder entries, one timestamp (SOURCE_DATE_EPOCH, else the time of the
# last commit), owner 0, modes 0755 or 0644, no extra fields, gzip without name and time; the
# jar inside is rewritten the same way, and the programs are stripped. Runs on the build host
# (GNU tar, gzip, Info-ZIP zip).
cmake_minimum_required(VERSION 3.25)

set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(work ${CPACK_TOPLEVEL_DIRECTORY}/bitmorph-archives)
set(product_name ${CPACK_BITMORPH_PRODUCT_FILE_NAME})
set(standalone_name ${CPACK_BITMORPH_STANDALONE_FILE_NAME})
set(format ${CPACK_BITMORPH_ARCHIVE_FORMAT})

# Nothing from the caller's environment may change what the tools write.
foreach(variable TAR_OPTIONS GZIP ZIPOPT ZIP)
  unset(ENV{${variable}})
endforeach()
set(ENV{TZ} UTC) # zip stores local time
set(ENV{LC_ALL} C)

# The entries' time: SOURCE_DATE_EPOCH when set, else the last commit's time, never before
# 1980 (the first time a zip entry can hold).
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C "${CPACK_BITMORPH_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    set(epoch "")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a count of seconds since 1970, not \"${epoch}\"")
  endif()
  set(epoch 315532800)
endif()
if(epoch LESS 315532800)
  set(epoch 315532800)
endif()

# run(<command>...): runs a tool and stops packaging when it fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " text)
    message(FATAL_ERROR "packaging: \"${text}\" failed (${rc})")
  endif()
endfunction()

# The files below dir, relative to it, in byte order of their names.
function(files_below dir out)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${dir} ${dir}/*)
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Gives every file below dir the modes 0755 (executables) or 0644 and the entries' time.
function(normalize dir)
  run(chmod -R u=rwX,go=rX ${dir})
  files_below(${dir} files)
  run(touch -h -d @${epoch} -- ${files} WORKING_DIRECTORY ${dir})
endfunction()

# zip_files(<archive> <dir> <files>...): a zip of the files below dir, in the order given.
function(zip_files archive dir)
  list(JOIN ARGN "\n" names)
  file(WRITE ${work}/zip-names.txt "${names}\n")
  file(REMOVE ${archive})
  execute_process(COMMAND zip -X -D -9 -q -@ ${archive} INPUT_FILE ${work}/zip-names.txt
                  WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "packaging: zip of ${dir} failed (${rc})")
  endif()
endfunction()

# archive(<archive> <dir>): every file below dir, as a .zip or a .tar.gz.
function(archive path dir)
  normalize(${dir})
  files_below(${dir} files)
  if(format STREQUAL "zip")
    zip_files(${path} ${dir} ${files})
    return()
  endif()
  list(JOIN files "\n" names)
  file(WRITE ${work}/tar-names.txt "${names}\n")
  execute_process(
    COMMAND tar --create --file=- --directory=${dir} --format=ustar --owner=0 --group=0
            --numeric-owner --mtime=@${epoch} --no-recursion --verbatim-files-from
            --files-from=${work}/tar-names.txt
    COMMAND gzip -n -9
    OUTPUT_FILE ${path} RESULTS_VARIABLE results)
  if(NOT results STREQUAL "0;0")
    message(FATAL_ERROR "packaging: tar of ${dir} failed (${results})")
  endif()
endfunction()

# The programs and libraries are stripped here rather than by cpack: strip writes the time
# into a Windows file's header, SOURCE_DATE_EPOCH when that is set.
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
files_below(${stage} staged)
foreach(file IN LISTS staged)
  file(READ ${stage}/${file} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46" OR magic MATCHES "^4d5a") # ELF, or MZ (PE)
    run(${CPACK_BITMORPH_STRIP} ${stage}/${file})
  endif()
endforeach()

file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/product ${work}/standalone/${standalone_name} ${work}/jar)

# The product never holds a file the suite owns: its runtime, converter or object-copy tool.
file(COPY ${stage}/bitmorph/ DESTINATION ${work}/product)
files_below(${work}/product product_files)
foreach(file IN LISTS product_files)
  get_filename_component(name ${file} NAME)
  if(NOT file MATCHES "^bin64/[^/]+$" OR name MATCHES "^(prexa_cpf|korvo-elf-objcopy|jre64)")
    message(FATAL_ERROR "packaging: the product package would hold ${file}, which is not bitmorph's own")
  endif()
endforeach()

# The jar again with the manifest first, then its other files in name order, all at one time.
set(jar ${work}/product/bin64/bitmorph.jar)
run(${CMAKE_COMMAND} -E tar xf ${jar} WORKING_DIRECTORY ${work}/jar)
normalize(${work}/jar)
files_below(${work}/jar jar_files)
list(REMOVE_ITEM jar_files META-INF/MANIFEST.MF)
zip_files(${jar} ${work}/jar META-INF/MANIFEST.MF ${jar_files})

file(COPY ${work}/product/ ${stage}/runtime/ ${stage}/standins/ DESTINATION ${work}/standalone/${standalone_name})

set(product_archive ${work}/${product_name}.${format})
set(standalone_archive ${work}/${standalone_name}.${format})
archive(${product_archive} ${work}/product)
archive(${standalone_archive} ${work}/standalone)

set(sums "")
foreach(path IN ITEMS ${product_archive} ${standalone_archive})
  file(SHA256 ${path} hash)
  get_filename_component(name ${path} NAME)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${work}/SHA256SUMS "${sums}")

set(CPACK_EXTERNAL_BUILT_PACKAGES ${product_archive} ${standalone_archive} ${work}/SHA256SUMS)
