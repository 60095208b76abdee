# The resource generator for a cross build: compiled by this machine's C++
# compiler against its FreeType, into <build>/host/.  Included from
# tools/gen_res with gen_res_sources set; sets DROMO_GEN_RES to the program.
find_program(DROMO_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_program(DROMO_HOST_PKG_CONFIG NAMES pkg-config REQUIRED NO_CMAKE_FIND_ROOT_PATH)
execute_process(COMMAND ${DROMO_HOST_PKG_CONFIG} --cflags --libs freetype2 zlib
  OUTPUT_VARIABLE freetype_flags OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE freetype_found)
if(NOT freetype_found EQUAL 0)
  message(FATAL_ERROR "FreeType or zlib for this machine is missing: install libfreetype-dev and zlib1g-dev")
endif()
separate_arguments(freetype_flags UNIX_COMMAND "${freetype_flags}")
set(DROMO_GEN_RES ${CMAKE_BINARY_DIR}/host/dromo_gen_res)
set(host_sources)
foreach(src IN LISTS gen_res_sources)
  get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  list(APPEND host_sources ${abs})
endforeach()
file(GLOB host_headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_SOURCE_DIR}/base/text.h)
add_custom_command(OUTPUT ${DROMO_GEN_RES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${DROMO_HOST_CXX} -std=c++20 -O2 -I${CMAKE_SOURCE_DIR} ${host_sources}
          ${freetype_flags} -o ${DROMO_GEN_RES}
  DEPENDS ${host_sources} ${host_headers}
  COMMENT "Building the resource generator for this machine"
  VERBATIM)
add_custom_target(dromo_gen_res_host DEPENDS ${DROMO_GEN_RES})
