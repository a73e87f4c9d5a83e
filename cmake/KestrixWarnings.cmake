# One place for the compiler warnings every target of ours builds with.
function(kestrix_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wno-unused-parameter)
endfunction()

# Embeds the suite's version in a binary as a string that a reader can find
# (see common/version_info.h): "KESTRIX-FILEVERSION=" followed by the version.
function(kestrix_version target)
  target_compile_definitions(${target} PRIVATE KESTRIX_VERSION="${PROJECT_VERSION}")
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/version_stamp.cpp)
endfunction()
