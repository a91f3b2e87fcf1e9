# Runs the floors check on a fixture folder whose files reach up in every way
# an include can, and on files that only reach down, and checks that exactly
# the upward lines are named.
execute_process(COMMAND ${CMAKE_COMMAND} -DGAME_DIR=${FIXTURE} -P ${CHECK}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "${out}${err}")
if(rc EQUAL 0)
  message(FATAL_ERROR "The floors check passed files that include higher floors:\n${report}")
endif()
set(upward
  "platform/reaches_core.h: #include <core/graph.h>  (platform stands below core)"
  "core/reaches_world.h: #  include \"world/map.h\"  (core stands below world)"
  "world/reaches_script.cpp: #include \"../script/ui.h\"  (world stands below script)"
  "script/reaches_app.cpp: #include \"app/scene.h\"  (script stands below app)")
foreach(line IN LISTS upward)
  string(FIND "${report}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The floors check did not name:\n  ${line}\nIt said:\n${report}")
  endif()
endforeach()
foreach(fine "stands_on_all" "stays_down" "platform/surface.h" "control.h" "core/graph.h\"" "world/map.h\"  (script")
  string(FIND "${report}" "${fine}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "The floors check named an include that reaches down (${fine}):\n${report}")
  endif()
endforeach()
