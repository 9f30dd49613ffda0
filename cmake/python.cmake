# The Python module `rara` (pybind11), built when pybind11 and the Python
# headers are found; RARA_PYTHON=OFF leaves it out.
find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
if(Python3_FOUND)
  find_package(pybind11 CONFIG QUIET)
endif()
# A sanitized module would need the sanitizer runtime preloaded into Python.
if(pybind11_FOUND AND NOT RARA_SANITIZE)
  option(RARA_PYTHON "Build the Python module rara" ON)
else()
  option(RARA_PYTHON "Build the Python module rara" OFF)
endif()
if(RARA_PYTHON)
  find_package(pybind11 CONFIG REQUIRED)
  # The layer libraries go into a shared object as well as into the programs.
  foreach(layer integers gf2 padic curves floats engine reports)
    set_target_properties(rara_${layer} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endforeach()
  file(GLOB RARA_PYTHON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/python/*.cpp)
  pybind11_add_module(rara_python ${RARA_PYTHON_SOURCES})
  # The module is imported as `rara`; it sits in python/ of the build tree.
  set_target_properties(rara_python PROPERTIES OUTPUT_NAME rara
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/python)
  target_link_libraries(rara_python PRIVATE rara_core)
  target_compile_options(rara_python PRIVATE ${RARA_WARNINGS})
  set(RARA_PYTHON_DIR lib/python3/dist-packages
      CACHE STRING "Where the Python module is installed, under the prefix")
  install(TARGETS rara_python LIBRARY DESTINATION ${RARA_PYTHON_DIR})
endif()
