# Finds what the tests need besides the build tools: GoogleTest, and GSL and
# GLM (the maths tests' references). Sets ENGINE_TEST_PACKAGES_FOUND and
# lists what is missing in ENGINE_TEST_PACKAGES_MISSING. With
# ENGINE_IGNORE_TEST_PACKAGES every one of them counts as missing, which
# proves the build of a machine that has none.
set(ENGINE_TEST_PACKAGES_MISSING "")
if(ENGINE_IGNORE_TEST_PACKAGES)
  set(ENGINE_TEST_PACKAGES_MISSING " libgtest-dev libgsl-dev libglm-dev")
else()
  find_package(GTest QUIET)
  if(NOT GTest_FOUND)
    string(APPEND ENGINE_TEST_PACKAGES_MISSING " libgtest-dev")
  endif()
  find_package(GSL QUIET)
  if(NOT GSL_FOUND)
    string(APPEND ENGINE_TEST_PACKAGES_MISSING " libgsl-dev")
  endif()
  find_path(GLM_INCLUDE_DIR glm/glm.hpp)
  if(NOT GLM_INCLUDE_DIR)
    string(APPEND ENGINE_TEST_PACKAGES_MISSING " libglm-dev")
  endif()
endif()
if(ENGINE_TEST_PACKAGES_MISSING STREQUAL "")
  set(ENGINE_TEST_PACKAGES_FOUND TRUE)
else()
  set(ENGINE_TEST_PACKAGES_FOUND FALSE)
endif()
