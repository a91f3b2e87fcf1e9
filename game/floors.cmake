# The game's floors, lowest first. Each floor includes only itself and the
# floors below it; the calls that must go up go through the interfaces in
# core/upcalls.h and world/upcalls.h, which the program installs.
#
#   cmake -DGAME_DIR=<folder holding the floors> -P floors.cmake
#
# Fails, naming every offending line, when a file includes a higher floor.
set(FLOORS platform core world script app)

if(NOT GAME_DIR)
  get_filename_component(GAME_DIR "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
endif()

set(problems "")
list(LENGTH FLOORS floorCount)
math(EXPR lastFloor "${floorCount} - 1")
foreach(level RANGE ${lastFloor})
  list(GET FLOORS ${level} floor)
  math(EXPR firstAbove "${level} + 1")
  if(firstAbove GREATER lastFloor)
    break()
  endif()
  set(above "")
  foreach(higher RANGE ${firstAbove} ${lastFloor})
    list(GET FLOORS ${higher} name)
    list(APPEND above ${name})
  endforeach()
  list(JOIN above "|" aboveAlternatives)
  # A higher floor's folder anywhere in the included path: "world/map.h",
  # "../script/ui.h" and <app/scene.h> alike.
  set(upward "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*/)?(${aboveAlternatives})/")
  file(GLOB_RECURSE files RELATIVE "${GAME_DIR}"
    "${GAME_DIR}/${floor}/*.h" "${GAME_DIR}/${floor}/*.hpp" "${GAME_DIR}/${floor}/*.cpp")
  list(SORT files)
  foreach(file IN LISTS files)
    file(STRINGS "${GAME_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "${upward}")
        string(STRIP "${line}" line)
        string(APPEND problems "  ${file}: ${line}  (${floor} stands below ${CMAKE_MATCH_2})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "A floor of the game includes a floor above it:\n${problems}"
                      "Reach up through an interface the program installs instead.")
endif()
