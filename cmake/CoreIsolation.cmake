# The core library must never link a toolkit or a platform library: fail the configure step if
# anything of the kind is ever added to it.
function(kestrafen_check_core_isolation target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  if(NOT libs)
    return()
  endif()
  foreach(lib IN LISTS libs)
    if(lib MATCHES "Qt|curl|CURL|gcab|GCAB|mspack|MSPACK|nlohmann|glib|kestrafen_sim|kestrafen_qt|kestrafen_win32")
      message(FATAL_ERROR "${target} must not link ${lib}: keep toolkit and platform code out of it")
    endif()
  endforeach()
endfunction()
