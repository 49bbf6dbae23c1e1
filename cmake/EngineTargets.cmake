# Helpers shared by the build files.
#
# A body of code is every .cpp below its folders, compiled once into an
# object library. Programs link all bodies through ENGINE_BODIES so that no
# object file (and no static registration inside it) is ever dropped.

set(ENGINE_BODIES "" CACHE INTERNAL "")

# Files that belong to a program rather than to a body: the platform entry
# and the allocator hooks that only the engine executable installs.
set(ENGINE_PROGRAM_ONLY_SOURCES
    Engine/implementation/GC/EIMain.cpp
    Engine/implementation/GC/EIOperatorNew.cpp)

function(engine_add_body name)
  set(sources "")
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
    list(APPEND sources ${found})
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
  set(ENGINE_BODIES ${ENGINE_BODIES} ${name} CACHE INTERNAL "")
endfunction()

# Links every body into a program.
function(engine_link_bodies target)
  target_link_libraries(${target} PRIVATE ${ENGINE_BODIES})
endfunction()
