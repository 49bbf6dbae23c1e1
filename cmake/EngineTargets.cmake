# Helpers shared by the build files.
#
# A body of code is every .cpp below its folders, compiled once into an
# object library. Bodies form a one-way graph: each declares the bodies it
# uses, and a program links the bodies it names together with everything
# below them, so that no object file (and no static registration inside it)
# is ever dropped. The include test (tests/house) holds the same graph for
# the #include lines.

set(ENGINE_BODIES "" CACHE INTERNAL "")

# Files that belong to a program rather than to a body: the platform entry,
# the allocator hooks that only the engine executable installs, and the
# console driver's device link (programs that link it have no test device).
set(ENGINE_PROGRAM_ONLY_SOURCES
    Engine/implementation/GC/EIMain.cpp
    Engine/implementation/GC/EIOperatorNew.cpp
    graphics3d/gamecube/RwDlDeviceLink.cpp)
set(ENGINE_DRIVER_LINK "${PROJECT_SOURCE_DIR}/graphics3d/gamecube/RwDlDeviceLink.cpp")

# engine_add_body(NAME FOLDERS folder... [EXCLUDE folder...] [USES body...])
function(engine_add_body name)
  cmake_parse_arguments(BODY "" "" "FOLDERS;EXCLUDE;USES" ${ARGN})
  set(sources "")
  foreach(folder IN LISTS BODY_FOLDERS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  foreach(excluded IN LISTS BODY_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/${excluded}/")
  endforeach()
  foreach(program_only IN LISTS ENGINE_PROGRAM_ONLY_SOURCES)
    list(REMOVE_ITEM sources "${PROJECT_SOURCE_DIR}/${program_only}")
  endforeach()
  if(NOT sources)
    # An empty body still has to exist as a target; give it a stub unit.
    set(sources "${PROJECT_SOURCE_DIR}/cmake/EmptyBody.cpp")
  endif()
  add_library(${name} OBJECT ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  if(BODY_USES)
    target_link_libraries(${name} PUBLIC ${BODY_USES})
  endif()
  set_property(GLOBAL PROPERTY ENGINE_BODY_USES_${name} ${BODY_USES})
  set(ENGINE_BODIES ${ENGINE_BODIES} ${name} CACHE INTERNAL "")
endfunction()

# The bodies named and every body below them, each once.
function(engine_body_closure out)
  set(pending ${ARGN})
  set(closure "")
  while(pending)
    list(POP_FRONT pending body)
    if(body IN_LIST closure)
      continue()
    endif()
    list(APPEND closure ${body})
    get_property(uses GLOBAL PROPERTY ENGINE_BODY_USES_${body})
    list(APPEND pending ${uses})
  endwhile()
  set(${out} ${closure} PARENT_SCOPE)
endfunction()

# engine_link_bodies(target [body...]): links the bodies named and all
# below them; with none named, every body.
function(engine_link_bodies target)
  set(wanted ${ARGN})
  if(NOT wanted)
    set(wanted ${ENGINE_BODIES})
  endif()
  engine_body_closure(closure ${wanted})
  target_link_libraries(${target} PRIVATE ${closure})
endfunction()
