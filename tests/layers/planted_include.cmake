# The layer checks on a small planted tree: an include that goes up a window layer, or from core into
# the UI base, fails with its file and line; includes that go down pass.
#   cmake -DLAYERS_SCRIPT=<cmake/layers.cmake> -DWORK=<empty folder> -P planted_include.cmake

function(plant file line)
  get_filename_component(folder ${WORK}/${file} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(WRITE ${WORK}/${file} "#pragma once\n${line}\n")
endfunction()

function(scan kind layers expect_failure expected_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DXKV_LAYERS=${layers} -DXKV_LAYER_ROOT=${WORK} -DXKV_LAYER_KIND=${kind}
                          -DXKV_LAYER_STAMP=${WORK}/stamp -P ${LAYERS_SCRIPT}
                  RESULT_VARIABLE result ERROR_VARIABLE err)
  if(expect_failure AND result EQUAL 0)
    message(FATAL_ERROR "the ${kind} check passed a planted include: ${expected_text}")
  elseif(NOT expect_failure AND NOT result EQUAL 0)
    message(FATAL_ERROR "the ${kind} check refused a sound tree:\n${err}")
  endif()
  string(FIND "${err}" "${expected_text}" at)
  if(expect_failure AND at EQUAL -1)
    message(FATAL_ERROR "the ${kind} check failed without naming ${expected_text}:\n${err}")
  endif()
endfunction()

set(core settings,results,app)
set(windows ui,results/ui,app/ui)
file(REMOVE_RECURSE ${WORK})
plant(settings/a.h "#include <string>")
plant(results/b.h "#include \"settings/a.h\"")
plant(ui/c.h "#include \"results/b.h\"")
plant(results/ui/d.h "#include \"ui/c.h\"")
plant(app/ui/e.h "#include \"results/ui/d.h\"")
scan(core ${core} FALSE "")
scan(ui ${windows} FALSE "")

plant(results/ui/up.h "#include \"app/ui/e.h\"")
scan(ui ${windows} TRUE "results/ui/up.h (layer results/ui): #include \"app/ui/e.h\"")
file(REMOVE ${WORK}/results/ui/up.h)

plant(ui/up.h "#include \"results/ui/d.h\"")
scan(ui ${windows} TRUE "ui/up.h (layer ui): #include \"results/ui/d.h\"")
file(REMOVE ${WORK}/ui/up.h)

plant(results/window.h "#include \"ui/c.h\"")
scan(core ${core} TRUE "results/window.h (layer results): #include \"ui/c.h\"")
file(REMOVE ${WORK}/results/window.h)

plant(settings/up.h "#include \"results/b.h\"")
scan(core ${core} TRUE "settings/up.h (layer settings): #include \"results/b.h\"")
