# Runs hollowmere-playtest on a play script the way a play test needs, from folders two levels
# below the test root (where ../../Assets is the asset tree), one folder per run.
#   -DRUNNER=<hollowmere-playtest> -DSCRIPT=<play script> -DROOT=<test root> -DNAME=<test name>
#   -DMODE=pass      exit status 0
#   -DMODE=fail      exit status 1, and the output matches EXPECT
#   -DMODE=twice     two runs pass and print the same and capture the same
#   -DMODE=replay    the run records a session; the recording, played, gives the game's same output
function(run_in folder script out status)
  file(REMOVE_RECURSE ${ROOT}/${folder})
  file(MAKE_DIRECTORY ${ROOT}/${folder}/bin)
  execute_process(COMMAND ${RUNNER} ${script} WORKING_DIRECTORY ${ROOT}/${folder}/bin
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 100)
  message("${output}${errors}")
  set(${out} "${output}" PARENT_SCOPE)
  set(${status} "${result}" PARENT_SCOPE)
endfunction()

function(require_status status wanted)
  if(NOT status STREQUAL "${wanted}")
    message(FATAL_ERROR "exit status ${status}, ${wanted} wanted")
  endif()
endfunction()

# The output without the lines that count checks (a recording and its replay check differently).
function(game_lines text out)
  string(REGEX REPLACE "PLAYTEST (PASS|FAIL) [0-9]+/[0-9]+\n?" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(first playtest-${NAME}-1)
run_in(${first} ${SCRIPT} output status)

if(MODE STREQUAL "pass")
  require_status("${status}" 0)
elseif(MODE STREQUAL "fail")
  require_status("${status}" 1)
  if(NOT output MATCHES "${EXPECT}")
    message(FATAL_ERROR "the output does not name the failed check: ${EXPECT}")
  endif()
elseif(MODE STREQUAL "twice")
  require_status("${status}" 0)
  run_in(playtest-${NAME}-2 ${SCRIPT} again status)
  require_status("${status}" 0)
  if(NOT output STREQUAL again)
    message(FATAL_ERROR "two runs of the same play script printed differently")
  endif()
  file(GLOB_RECURSE captures RELATIVE ${ROOT}/${first}/bin ${ROOT}/${first}/bin/captures/*)
  if(NOT captures)
    message(FATAL_ERROR "the play script captured nothing")
  endif()
  foreach(capture ${captures})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${ROOT}/${first}/bin/${capture}
                            ${ROOT}/playtest-${NAME}-2/bin/${capture} RESULT_VARIABLE differ)
    if(differ)
      message(FATAL_ERROR "two runs of the same play script captured ${capture} differently")
    endif()
  endforeach()
elseif(MODE STREQUAL "replay")
  require_status("${status}" 0)
  set(recording ${ROOT}/${first}/bin/recorded_session.lua)
  if(NOT EXISTS ${recording})
    message(FATAL_ERROR "nothing was recorded")
  endif()
  run_in(playtest-${NAME}-2 ${recording} replayed status)
  require_status("${status}" 0)
  game_lines("${output}" recorded)
  game_lines("${replayed}" replayed)
  if(NOT recorded STREQUAL replayed)
    message(FATAL_ERROR "the replay went otherwise than the recorded session")
  endif()
else()
  message(FATAL_ERROR "unknown mode ${MODE}")
endif()
