# Play tests: hollowmere-playtest runs the shipped game under the play scripts of this folder,
# on the shared display (label "display", resource lock x_display), and the tests of the runner's
# own parts join the runner's library.
if(TARGET playtest_tests)
  target_link_libraries(playtest_tests PRIVATE hollowmere_playtest)
endif()
if(TARGET playtest_display_tests)
  target_link_libraries(playtest_display_tests PRIVATE hollowmere_playtest)
endif()

function(hollowmere_play_test name mode)
  add_test(NAME playtest.${name}
           COMMAND ${CMAKE_COMMAND} -DRUNNER=$<TARGET_FILE:hollowmere-playtest>
                   -DSCRIPT=${CMAKE_CURRENT_LIST_DIR}/${name}.lua -DROOT=${TEST_ROOT} -DNAME=${name}
                   -DMODE=${mode} "-DEXPECT=${ARGN}" -P ${CMAKE_CURRENT_LIST_DIR}/RunPlaytest.cmake)
  set_tests_properties(playtest.${name} PROPERTIES LABELS display RESOURCE_LOCK x_display TIMEOUT 120)
endfunction()

hollowmere_play_test(starts twice)
hollowmere_play_test(escape pass)
hollowmere_play_test(close pass)
hollowmere_play_test(controller_hotplug pass)
hollowmere_play_test(controller_start pass)
hollowmere_play_test(record replay)
hollowmere_play_test(failing fail
  "PLAYTEST FAILED \\(frame 3\\): a controller nobody plugged in\nPLAYTEST END[^\n]*\nPLAYTEST FAIL 1/2")
hollowmere_play_test(assertion fail
  "Comment: Input::gsInvertedRange: range number out of bounds.*PLAYTEST FAIL 1/2")
