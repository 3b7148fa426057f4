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
