# End-to-end runs of the built programs (under Wine for the Windows build), chained in
# order inside one scratch folder; a judge program checks what each run wrote.
add_executable(suite_e2e_check E2eCheck.cpp)
target_link_libraries(suite_e2e_check PRIVATE bm_suite)
target_include_directories(suite_e2e_check PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

set(e2e_dir ${CMAKE_CURRENT_BINARY_DIR}/e2e)
add_test(NAME suite_e2e_setup
  COMMAND ${CMAKE_COMMAND} -DDIR=${e2e_dir} -DEXAMPLES=${PROJECT_SOURCE_DIR}/examples
          -P ${CMAKE_CURRENT_SOURCE_DIR}/E2eSetup.cmake)
set_tests_properties(suite_e2e_setup PROPERTIES FIXTURES_SETUP suite_e2e)

set(e2e_previous suite_e2e_setup)
# suite_e2e(<name> [WILL_FAIL] COMMAND ...): one step of the chain, after the previous one.
function(suite_e2e name)
  cmake_parse_arguments(ARG "WILL_FAIL" "" "COMMAND" ${ARGN})
  add_test(NAME suite_e2e_${name} COMMAND ${ARG_COMMAND} WORKING_DIRECTORY ${e2e_dir})
  set(fixtures suite_e2e)
  if(CMAKE_CROSSCOMPILING)
    list(APPEND fixtures wine_prefix)
  endif()
  set_tests_properties(suite_e2e_${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}"
                       DEPENDS ${e2e_previous} TIMEOUT 120)
  if(ARG_WILL_FAIL)
    set_tests_properties(suite_e2e_${name} PROPERTIES WILL_FAIL TRUE)
  endif()
  set(e2e_previous suite_e2e_${name} PARENT_SCOPE)
endfunction()

# The SOF writer.
suite_e2e(sofgen COMMAND sofgen --part=KX3R40F484 --output=gen.sof --size=30000 --seed=4)
# Parallel: raw and compressed images.
suite_e2e(parallel COMMAND prexa_cpf --no_banner --convert ravelle3_blinky.sof blinky.rbf)
suite_e2e(parallel_check COMMAND suite_e2e_check image blinky.rbf ravelle3_blinky.sof raw)
suite_e2e(parallel_compressed COMMAND prexa_cpf --no_banner --convert --option=compress.opt gen.sof gen.rbf)
suite_e2e(parallel_compressed_check COMMAND suite_e2e_check image gen.rbf gen.sof compressed)
suite_e2e(parallel_compressed_smaller COMMAND suite_e2e_check smaller gen.rbf gen.sof)
# Active parallel, through a conversion description.
suite_e2e(active_parallel COMMAND prexa_cpf --no_banner --convert --option=compress.opt uart.cof)
suite_e2e(active_parallel_check COMMAND suite_e2e_check image uart.rbf tessary5_uart.sof compressed)
# Serial: both runs for an older family, the scattered-header family and two newer ones.
foreach(pair "ravelle3_blinky;SPROM128" "ravelle_counter;QPROM256" "tessary5_uart;QPROM128" "mirren10_adc;SPROM128")
  list(GET pair 0 design)
  list(GET pair 1 device)
  suite_e2e(serial_first_${design} COMMAND prexa_cpf --no_banner --convert --device=${device} --option=serial.opt
            ${design}.sof ${design}.pof)
  suite_e2e(serial_second_${design} COMMAND prexa_cpf --no_banner --convert ${design}.pof ${design}.rpd)
  suite_e2e(serial_check_${design} COMMAND suite_e2e_check serial ${design}.rpd ${design}.map ${design}.sof)
endforeach()
# Loader: description to programming object file to hex records to S-records.
suite_e2e(loader_first COMMAND prexa_cpf -c kld.cof)
suite_e2e(loader_second COMMAND prexa_cpf -c kld.pof kld.hexout)
suite_e2e(loader_check COMMAND suite_e2e_check loader kld.hexout kld.map ravelle3_blinky.sof)
suite_e2e(objcopy COMMAND suite_objcopy -O srec kld.hexout kld.flash)
suite_e2e(objcopy_check COMMAND suite_e2e_check srec kld.flash kld.hexout)
if(NOT CMAKE_CROSSCOMPILING)
  find_program(GNU_OBJCOPY objcopy)
  if(GNU_OBJCOPY)
    # GNU objcopy reads the converter's hex records back, as S-records and as a raw binary.
    suite_e2e(gnu_objcopy_srec COMMAND ${GNU_OBJCOPY} -I ihex -O srec kld.hexout gnu.flash)
    suite_e2e(gnu_objcopy_srec_check COMMAND suite_e2e_check srec gnu.flash kld.hexout)
    suite_e2e(gnu_objcopy_binary COMMAND ${GNU_OBJCOPY} -I ihex -O binary kld.hexout gnu.bin)
    suite_e2e(gnu_objcopy_binary_check COMMAND suite_e2e_check binary gnu.bin kld.hexout)
  endif()
endif()
suite_e2e(loader_compressed COMMAND prexa_cpf -c kld.cof --option kld.cof.opt)
suite_e2e(loader_compressed_hex COMMAND prexa_cpf -c kld.pof kldc.hexout)
suite_e2e(loader_compressed_smaller COMMAND suite_e2e_check smaller kldc.hexout kld.hexout)
# Refusals: non-zero status and nothing written.
suite_e2e(refuse_serial WILL_FAIL COMMAND prexa_cpf --no_banner --convert --device=SPROM128 --option=serial.opt
          tessary_leds.sof leds.pof)
suite_e2e(refuse_serial_check COMMAND suite_e2e_check absent leds.pof leds.map)
suite_e2e(refuse_usage WILL_FAIL COMMAND prexa_cpf --convert ravelle3_blinky.sof x.rbf)
suite_e2e(refuse_missing WILL_FAIL COMMAND prexa_cpf --no_banner --convert none.sof none.rbf)
suite_e2e(refuse_hex WILL_FAIL COMMAND suite_objcopy -O srec bad.hexout bad.flash)
suite_e2e(refuse_check COMMAND suite_e2e_check absent x.rbf none.rbf bad.flash)
suite_e2e(refuse_sofgen WILL_FAIL COMMAND sofgen --output=nopart.sof)
