# The rooms of the source tree and which rooms each may include from, checked on every build
# (cmake -DSOURCE_DIR=... -P CheckRooms.cmake): an include in the wrong direction fails the
# build with the file, the line and the rule it breaks. The link libraries follow the same
# directions; this check also catches a header-only include that the linker would never see.
#
# A room is a folder; the files at the top of document/ (the group list, the file reader and
# writer, Status) belong to the format room, whose library compiles them.
cmake_minimum_required(VERSION 3.22)
set(QM_ROOMS core format model review exchange merge listview res dialogs app tools)
set(QM_MAY_INCLUDE_core core)
set(QM_MAY_INCLUDE_format core format)
set(QM_MAY_INCLUDE_model core format model)
set(QM_MAY_INCLUDE_review core format model review)
set(QM_MAY_INCLUDE_exchange core format model review exchange)
set(QM_MAY_INCLUDE_merge core format model merge)
set(QM_MAY_INCLUDE_tools core format model review exchange merge tools)
set(QM_MAY_INCLUDE_listview core format model review listview)
set(QM_MAY_INCLUDE_res res)
set(QM_MAY_INCLUDE_dialogs core format model review listview res dialogs)
set(QM_MAY_INCLUDE_app core format model review exchange merge listview res dialogs app)

# The room of a path relative to the source tree; empty for files outside every room.
function(qm_room_of path out)
  set(room "")
  if(path MATCHES "^document/([a-z]+)/")
    set(room ${CMAKE_MATCH_1})
  elseif(path MATCHES "^document/[^/]+$")
    set(room format)
  elseif(path MATCHES "^(core|listview|res|dialogs|app|tools)/")
    set(room ${CMAKE_MATCH_1})
  endif()
  set(${out} ${room} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/core/*.h ${SOURCE_DIR}/core/*.cpp ${SOURCE_DIR}/document/*.h ${SOURCE_DIR}/document/*.cpp
  ${SOURCE_DIR}/listview/*.h ${SOURCE_DIR}/listview/*.cpp ${SOURCE_DIR}/res/*.h ${SOURCE_DIR}/res/*.cpp
  ${SOURCE_DIR}/dialogs/*.h ${SOURCE_DIR}/dialogs/*.cpp ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp)
set(failures "")
foreach(source ${sources})
  qm_room_of(${source} from)
  if(NOT from IN_LIST QM_ROOMS)
    string(APPEND failures "${source}: in no known room (add its folder to cmake/CheckRooms.cmake)\n")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" target "${line}")
    qm_room_of(${target} to)
    if(to STREQUAL "" OR to IN_LIST QM_MAY_INCLUDE_${from})
      continue()
    endif()
    string(APPEND failures "${source}: includes ${target}: the ${from} room may not include from ${to}\n")
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes against the direction of the rooms:\n${failures}")
endif()
