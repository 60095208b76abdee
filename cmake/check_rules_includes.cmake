# The rules (game/, records/, base/) see only their own headers and the
# platform's clock and files.  Run with cmake -P:
#   -DCXX=compiler -DRULES_INCLUDE=<the rules' include folder>
#   -DSOURCE_DIR=<sources> -DWORK=<scratch folder>
# 1. Every quoted include of a rules file names one of those headers, so a
#    relative path ("../ui/...") cannot slip past the include folder either.
# 2. A file compiled as the rules are reaches every rules header, and fails
#    on each header of the shell: the folder is what keeps the shell out.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failures "")

file(GLOB rules_files ${SOURCE_DIR}/game/* ${SOURCE_DIR}/records/* ${SOURCE_DIR}/base/*)
foreach(f IN LISTS rules_files)
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "^(game|records|base)/[A-Za-z0-9_]+\\.h$"
       AND NOT header MATCHES "^platform/(clock|files)\\.h$")
      list(APPEND failures "${f}: includes \"${header}\"")
    elseif(NOT EXISTS ${RULES_INCLUDE}/${header})
      list(APPEND failures "${f}: \"${header}\" is not in ${RULES_INCLUDE}")
    endif()
  endforeach()
endforeach()

function(compile_probe name header result)
  set(probe ${WORK}/${name}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -I${RULES_INCLUDE} ${probe}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  set(${result} ${rc} PARENT_SCOPE)
  set(probe_error "${err}" PARENT_SCOPE)
endfunction()

file(GLOB rules_headers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/game/*.h ${SOURCE_DIR}/records/*.h
     ${SOURCE_DIR}/base/*.h)
list(APPEND rules_headers platform/clock.h platform/files.h)
set(n 0)
foreach(h IN LISTS rules_headers)
  math(EXPR n "${n} + 1")
  compile_probe(reach${n} ${h} rc)
  if(NOT rc EQUAL 0)
    list(APPEND failures "a rules file cannot include \"${h}\": ${probe_error}")
  endif()
endforeach()

file(GLOB shell_headers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/ui/*.h
     ${SOURCE_DIR}/gfx/*.h ${SOURCE_DIR}/sound/*.h ${SOURCE_DIR}/platform/*.h)
list(REMOVE_ITEM shell_headers platform/clock.h platform/files.h)
list(LENGTH shell_headers count)
if(count LESS 10)
  list(APPEND failures "too few shell headers found under ${SOURCE_DIR}: ${shell_headers}")
endif()
foreach(h IN LISTS shell_headers)
  math(EXPR n "${n} + 1")
  compile_probe(keep${n} ${h} rc)
  if(rc EQUAL 0)
    list(APPEND failures "a rules file could include \"${h}\"")
  elseif(NOT probe_error MATCHES "No such file")
    list(APPEND failures "\"${h}\" failed for another reason: ${probe_error}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "rules include check: ${count} shell headers kept out")
