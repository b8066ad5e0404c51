# The core folders are layers: a file of one layer may include headers of its own layer and of the
# layers below it, never of a layer above it nor of a window folder (ui/, <layer>/ui/). The window
# folders are layers of their own above the whole core: the UI base (ui/) lowest, then the window
# folders in the order given; a window file may include any core header, the UI base and the window
# folders up to its own. Every folder includes from src/, so the include path alone cannot keep them
# apart; this check reads the #include lines instead. It runs when CMake configures and again in
# every build whose files changed, and fails either with the offending file and line.

# Checks the layers in the order given, lowest first: the core folders, or with kind "ui" the
# window layers ("ui" the base, then "<folder>/ui"). Called from a build as
#   cmake -DXKV_LAYERS=a,b -DXKV_LAYER_ROOT=<src> -DXKV_LAYER_STAMP=<file> [-DXKV_LAYER_KIND=ui] -P layers.cmake
function(xkv_layer_scan root layers kind)
  set(errors "")
  set(index 0)
  foreach(layer IN LISTS layers)
    file(GLOB files ${root}/${layer}/*.h ${root}/${layer}/*.cpp)
    foreach(file IN LISTS files)
      file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][A-Za-z_]+/")
      foreach(line IN LISTS lines)
        if(kind STREQUAL "ui")
          # Only window layers count; a window may include any core header.
          string(REGEX MATCH "[\"<](([A-Za-z_]+/)?ui)/" _ "${line}")
          list(FIND layers "${CMAKE_MATCH_1}" at)
          set(refused FALSE)
          if(CMAKE_MATCH_1 AND at GREATER index)
            set(refused TRUE)
          endif()
        else()
          # A core folder above this one, or any window (ui/, <folder>/ui/).
          string(REGEX MATCH "[\"<]([A-Za-z_]+)/([^\">]*)" _ "${line}")
          set(folder ${CMAKE_MATCH_1})
          set(rest ${CMAKE_MATCH_2})
          list(FIND layers ${folder} at)
          set(refused FALSE)
          if(folder STREQUAL "ui" OR (at GREATER_EQUAL 0 AND (at GREATER index OR rest MATCHES "^ui/")))
            set(refused TRUE)
          endif()
        endif()
        if(refused)
          file(RELATIVE_PATH name ${root} ${file})
          string(STRIP "${line}" line)
          string(APPEND errors "  ${name} (layer ${layer}): ${line}\n")
        endif()
      endforeach()
    endforeach()
    math(EXPR index "${index} + 1")
  endforeach()
  if(errors)
    string(REPLACE ";" " <- " order "${layers}")
    message(FATAL_ERROR "A layer includes a layer above it, or core a window (order ${order}):\n${errors}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  string(REPLACE "," ";" layers "${XKV_LAYERS}")
  xkv_layer_scan("${XKV_LAYER_ROOT}" "${layers}" "${XKV_LAYER_KIND}")
  file(TOUCH ${XKV_LAYER_STAMP})
  return()
endif()

# Checks now, and adds a build step that checks again whenever a core file changed; the TARGETS
# (the lowest layer's library is enough, every other links it) depend on it, so a back edge fails the build.
function(xkv_layer_check)
  cmake_parse_arguments(arg "" "ROOT;KIND" "LAYERS;TARGETS" ${ARGN})
  xkv_layer_scan(${arg_ROOT} "${arg_LAYERS}" "${arg_KIND}")
  set(name xkv_layer_check)
  if(arg_KIND STREQUAL "ui")
    set(name xkv_ui_layer_check)
  endif()
  set(watched "")
  foreach(layer IN LISTS arg_LAYERS)
    file(GLOB files CONFIGURE_DEPENDS ${arg_ROOT}/${layer}/*.h ${arg_ROOT}/${layer}/*.cpp)
    list(APPEND watched ${files})
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.stamp)
  string(REPLACE ";" "," layers "${arg_LAYERS}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DXKV_LAYERS=${layers} -DXKV_LAYER_ROOT=${arg_ROOT} -DXKV_LAYER_KIND=${arg_KIND}
            -DXKV_LAYER_STAMP=${stamp} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${watched} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking the includes of the layers ${layers}"
    VERBATIM)
  add_custom_target(${name} DEPENDS ${stamp})
  foreach(target IN LISTS arg_TARGETS)
    add_dependencies(${target} ${name})
  endforeach()
endfunction()
