# Runs the command-line tool on the bundled examples and compares standard
# output and exit status with the expected ones in tests/data/cli.
function(expect_run expected_status expected_file)
  execute_process(COMMAND ${VEMA} ${ARGN} WORKING_DIRECTORY ${SRC}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "vema ${ARGN}: exit ${status}, expected ${expected_status}\n${out}\n${err}")
  endif()
  if(expected_file)
    file(READ ${SRC}/tests/data/cli/${expected_file} expected)
    if(NOT out STREQUAL expected)
      message(FATAL_ERROR "vema ${ARGN}: output differs from ${expected_file}:\n${out}")
    endif()
  endif()
endfunction()

expect_run(0 check_small_shop.txt check examples/small_shop.sif)
expect_run(1 check_warnings_only.txt check examples/warnings_only.sif)
expect_run(2 check_with_errors.txt check examples/with_errors.sif)
expect_run(3 "" check examples/no_such_file.sif)
expect_run(0 info_small_shop.txt info examples/small_shop.sif)
expect_run(0 info_small_shop.json info --json examples/small_shop.sif)
expect_run(2 "" info examples/with_errors.sif)
expect_run(64 "" check)
expect_run(64 "" check --bogus examples/small_shop.sif)
expect_run(64 "" frobnicate)
expect_run(64 "")
expect_run(0 "" --help)
expect_run(0 "" info --help)

# Schedules: random, evaluate, release, solve, and their failures.
set(out ${OUT})
file(REMOVE_RECURSE ${out})
file(MAKE_DIRECTORY ${out})
expect_run(0 "" random examples/busy_shop.sif -o ${out}/random.sch --seed 3)
expect_run(0 "" evaluate examples/busy_shop.sif ${out}/random.sch)
expect_run(0 "" evaluate --tasks --json examples/busy_shop.sif ${out}/random.sch)
expect_run(0 "" release examples/busy_shop.sif ${out}/random.sch -o ${out}/random.rsf)
expect_run(0 "" evaluate ${out}/random.rsf)
expect_run(2 "" evaluate examples/small_shop.sif ${out}/random.sch)
expect_run(64 "" evaluate examples/busy_shop.sif)
expect_run(0 "" solve examples/busy_shop.sif --steps 40 --loops 20 --seed 7 --log ${out}/run.txt
           --out ${out}/best.sch --release ${out}/best.rsf)
expect_run(0 "" evaluate examples/busy_shop.sif ${out}/best.sch)
expect_run(0 "" evaluate ${out}/best.rsf)
expect_run(0 "" solve examples/busy_shop.sif --method batch --steps 30 --loops 10 --seed 7
           --log ${out}/batch.txt --start ${out}/random.sch --json)
expect_run(0 "" solve examples/busy_shop.sif --method autostop --steps 30 --loops 10 --seed 7
           --log ${out}/auto.txt)
expect_run(64 "" solve examples/busy_shop.sif --steps 0)
expect_run(64 "" solve examples/busy_shop.sif --loops 1000)
expect_run(64 "" solve examples/busy_shop.sif --loops 20 --min-loop 21)
expect_run(64 "" solve examples/busy_shop.sif --priorities 1,2,3)
expect_run(64 "" solve examples/busy_shop.sif --method magic)

# The best schedule found is never worse in late jobs than the random start.
execute_process(COMMAND ${VEMA} solve examples/busy_shop.sif --steps 100 --loops 30 --seed 11
                        --log ${out}/cmp.txt --json
                WORKING_DIRECTORY ${SRC} OUTPUT_VARIABLE solved RESULT_VARIABLE status)
string(JSON best_late GET "${solved}" values n_of_Late_Jobs)
file(READ ${out}/cmp.txt log)
string(REGEX MATCH " n_of_Late_Jobs: ([0-9]+)" _ "${log}")
set(start_late ${CMAKE_MATCH_1})
if(NOT best_late LESS start_late)
  message(FATAL_ERROR "solve did not reduce late jobs: start ${start_late}, best ${best_late}")
endif()

# Problem generator: the basic method's extension rule, a fixed seed repeats
# the file, the one-stage method keeps the name, refused values exit 64 with
# the generator window's message.
expect_run(0 "" generate -o ${out}/gen --seed 5 --machines-per-group 3 --orders-per-type 4)
expect_run(0 "" check ${out}/gen.sif)
expect_run(0 "" generate -o ${out}/gen.txt --seed 5 --machines-per-group 3 --orders-per-type 4)
file(READ ${out}/gen.sif gen_sif)
file(READ ${out}/gen.txt gen_txt)
if(NOT gen_sif STREQUAL gen_txt)
  message(FATAL_ERROR "generate: the same seed wrote different files")
endif()
expect_run(0 "" generate -o ${out}/default.sif --seed 9)
expect_run(0 "" info ${out}/default.sif)
expect_run(0 "" generate --one-stage -o ${out}/one.dat --machines-per-group 3 --orders-per-type 5)
file(STRINGS ${out}/one.dat one_header LIMIT_COUNT 1)
if(NOT one_header STREQUAL "001|3|5|4")
  message(FATAL_ERROR "generate --one-stage: header '${one_header}', expected 001|3|5|4")
endif()
expect_run(64 "" generate)
expect_run(3 "" generate -o ${out}/no/such/folder/p.sif)
execute_process(COMMAND ${VEMA} generate -o ${out}/refused.sif --job-size 1001
                WORKING_DIRECTORY ${SRC} RESULT_VARIABLE status ERROR_VARIABLE err)
string(FIND "${err}" " The value of the Average num. of the product of a jobs field is out of the range! It must be in [1 - 1000]." found)
if(NOT status EQUAL 64 OR found EQUAL -1 OR EXISTS ${out}/refused.sif)
  message(FATAL_ERROR "generate --job-size 1001: exit ${status}\n${err}")
endif()

# Performance test: sequential and parallel runs with their logs, refused values.
expect_run(0 "" perftest examples/busy_shop.sif --iterations 3 --steps 20 --loops 10 --seed 5
           --log ${out}/perf.txt)
expect_run(0 "" perftest examples/busy_shop.sif --iterations 4 --steps 20 --loops 10 --seed 5
           --threads 2 --log ${out}/perf2.txt --json)
foreach(perf_file perf.txt perf2.txt)
  file(READ ${out}/${perf_file} perf_log)
  if(NOT perf_log MATCHES "^ Performance test\\.   Input file :examples/busy_shop\\.sif\n"
     OR NOT perf_log MATCHES "\nbest solution:\ts_[1-4]\n"
     OR NOT perf_log MATCHES "\nEnd of file\\.$")
    message(FATAL_ERROR "perftest log ${perf_file}:\n${perf_log}")
  endif()
endforeach()
expect_run(64 "" perftest examples/busy_shop.sif --iterations 0)
expect_run(64 "" perftest examples/busy_shop.sif --iterations 100000)
expect_run(64 "" perftest examples/busy_shop.sif --threads 0)
expect_run(64 "" perftest examples/busy_shop.sif --loops 20 --min-loop 21)
expect_run(3 "" perftest examples/no_such_file.sif)
expect_run(3 "" perftest examples/busy_shop.sif --iterations 1 --log ${out}/no_dir/perf.txt)

# Rescheduling: release a solved plan, change the shop, reschedule it.
expect_run(0 "" release examples/busy_shop.sif ${out}/best.sch -o ${out}/plan.rsf)
# Released and reloaded unchanged, frozen before every start: no deviation.
execute_process(COMMAND ${VEMA} reschedule ${out}/plan.rsf --freeze 0 --initial-state --json
                WORKING_DIRECTORY ${SRC} OUTPUT_VARIABLE initial RESULT_VARIABLE status)
string(JSON n_dev LENGTH "${initial}" deviations)
if(NOT status EQUAL 0 OR NOT n_dev EQUAL 10)
  message(FATAL_ERROR "reschedule --initial-state: exit ${status}\n${initial}")
endif()
foreach(k RANGE 9)
  string(JSON dev GET "${initial}" deviations ${k})
  if(NOT dev EQUAL 0)
    message(FATAL_ERROR "reschedule --freeze 0 --initial-state: deviation ${k} is ${dev}")
  endif()
endforeach()
# A slower machine and a shorter calendar; the new plan keeps the frozen
# tasks with their released times (freezing first).
set(changes --speed 3=2 --calendar-delete 1=4 --order-end 2=700)
execute_process(COMMAND ${VEMA} reschedule ${out}/plan.rsf --freeze 150 --order freeze-first
                        ${changes} --initial-state --json
                WORKING_DIRECTORY ${SRC} OUTPUT_VARIABLE frozen_start RESULT_VARIABLE status)
execute_process(COMMAND ${VEMA} reschedule ${out}/plan.rsf --freeze 150 --order freeze-first
                        ${changes} --steps 30 --loops 10 --seed 5 --log ${out}/resched.txt
                        --out ${out}/resched.sch --release ${out}/resched.rsf --json
                WORKING_DIRECTORY ${SRC} OUTPUT_VARIABLE rescheduled RESULT_VARIABLE status2)
string(JSON frozen_before GET "${frozen_start}" frozen)
string(JSON frozen_after GET "${rescheduled}" frozen)
string(JSON interval_ok GET "${rescheduled}" freeze_interval_ok)
file(READ ${out}/resched.txt resched_log)
if(NOT status EQUAL 0 OR NOT status2 EQUAL 0 OR NOT frozen_before STREQUAL frozen_after
   OR NOT interval_ok OR NOT frozen_after MATCHES "\"job\""
   OR NOT resched_log MATCHES "^ Tabu Search with _S class and do_pi\n"
   OR NOT resched_log MATCHES "\nType: First freeze released schedule then modify environment\\.\n"
   OR NOT resched_log MATCHES "\nFreeze interval OK!\nEnd of file\\.$")
  message(FATAL_ERROR "reschedule: exit ${status}/${status2}\n${frozen_before}\n${frozen_after}\n${resched_log}")
endif()
expect_run(0 "" evaluate ${out}/resched.rsf)
expect_run(0 "" reschedule ${out}/plan.rsf --freeze 200 --speed 1=3 --calendar-add 2=3000-3500
           --order-start 4=30 --deviation-priorities 5,5,5,5,5,5,5,5,5,5 --steps 20 --loops 10
           --seed 3 --log ${out}/resched2.txt)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10000)
expect_run(64 "" reschedule ${out}/plan.rsf)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --order sideways)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --speed 1=1001)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --speed 12=5)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --calendar-add 1=100-100)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --calendar-delete 1=9)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --order-start 1=500 --order-end 1=800)
expect_run(0 "" reschedule ${out}/plan.rsf --freeze 10 --order-end 1=800 --order-start 1=500
           --initial-state)
expect_run(64 "" reschedule ${out}/plan.rsf --freeze 10 --deviation-priorities 1,2)
expect_run(3 "" reschedule ${out}/no_such_plan.rsf --freeze 10)
expect_run(2 "" reschedule examples/with_errors.sif --freeze 10)

# Starting schedules: every method writes a schedule that fits the problem.
foreach(method 1 2 3 4 5 6)
  expect_run(0 "" start examples/busy_shop.sif --method ${method} --seed 5
             -o ${out}/start${method}.sch)
  expect_run(0 "" evaluate examples/busy_shop.sif ${out}/start${method}.sch)
endforeach()
expect_run(0 "" start examples/small_shop.sif -o ${out}/start_default.sch --json)
expect_run(64 "" start examples/busy_shop.sif --method 7 -o ${out}/start7.sch)
expect_run(64 "" start examples/busy_shop.sif --method 1)
expect_run(2 "" start examples/with_errors.sif --method 1 -o ${out}/bad.sch)

# Enumeration: two machines holding 2 and 3 jobs give 2 x 3! = 12 schedules.
file(WRITE ${out}/tiny.sif
  "001|2|2|1\n"
  "100|0|5|0|0\n110|0|1\n120|0|0|100000\n130|0|1\n140|0|0|0|0\n"
  "100|1|5|1|1\n110|1|1\n120|1|0|100000\n130|1|1\n140|1|0|0|0\n"
  "200|0|3|0|2|10|0|0|0\n210|0|1\n220|0|0|0|0\n"
  "200|1|5|0|3|10|1|1|0\n210|1|1\n220|1|1|1|1\n")
execute_process(COMMAND ${VEMA} enumerate ${out}/tiny.sif --seed 2 --log ${out}/enum.txt
                        --out ${out}/enum.sch --json
                RESULT_VARIABLE status OUTPUT_VARIABLE enumerated ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vema enumerate tiny.sif: exit ${status}\n${err}")
endif()
string(JSON evaluated GET "${enumerated}" evaluated)
if(NOT evaluated EQUAL 12)
  message(FATAL_ERROR "enumerate evaluated ${evaluated} schedules, expected 12")
endif()
file(READ ${out}/enum.txt log)
if(NOT log MATCHES "^ Enumeration for small size problems\n.*Number of evaluated schedule: 12\n.*End of file\\.$")
  message(FATAL_ERROR "unexpected enumeration log:\n${log}")
endif()
expect_run(0 "" evaluate ${out}/tiny.sif ${out}/enum.sch)
expect_run(0 "" enumerate ${out}/tiny.sif --start ${out}/enum.sch --log ${out}/enum2.txt
           --priorities 0,1,0,0,0,0)
expect_run(2 "" enumerate examples/busy_shop.sif --log ${out}/enum3.txt)
expect_run(2 "" enumerate ${out}/tiny.sif --start ${out}/start1.sch --log ${out}/enum4.txt)
expect_run(64 "" enumerate ${out}/tiny.sif --priorities 1,2,3)
