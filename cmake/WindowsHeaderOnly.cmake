# nlohmann json and CLI11 for the Windows build: header-only, shared with the Linux
# build, so the host's copies are used. Each is exposed through a folder in the build
# tree that holds just that library's headers (a link to its own folder), never the
# host's whole include tree, so nothing else of the host leaks into the target.
set(ZEL_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where the host keeps nlohmann/ and CLI/")
set(ZEL_HEADER_ONLY_ROOT ${CMAKE_BINARY_DIR}/header-only)

function(zel_header_only_library target folder)
  set(source ${ZEL_HOST_INCLUDE_DIR}/${folder})
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "${source} is missing (the header-only library ${target})")
  endif()
  set(dir ${ZEL_HEADER_ONLY_ROOT}/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${source} ${dir}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  # As system headers: their own warnings are not the project's.
  set_target_properties(${target} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${dir}
                                             INTERFACE_INCLUDE_DIRECTORIES ${dir})
endfunction()

zel_header_only_library(nlohmann_json::nlohmann_json nlohmann)
zel_header_only_library(CLI11::CLI11 CLI)
