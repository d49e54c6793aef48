# Run by `cmake --install`: copies the manual pages from orv_man_source into orv_man_filled with
# the installed folders they name under the default prefix replaced by those being installed to
# (CMAKE_INSTALL_PREFIX holds the prefix of this installation, DESTDIR left out):
#   /usr/local/share/doc/orv-programs   the documentation folder, orv_docdir (the samples)
#   /usr/local/share/orv-programs       the programs' data folder, orv_datadir/orv-programs
#                                       (the cluster scripts)
# The pages name the default prefix, so a page read before installing names where a plain
# `cmake --install` puts the files.

# The installed path of `dir` (absolute, or relative to the prefix) as roff text: a backslash is
# written \e, a hyphen \-. A long prefix can make the path wider than a line, so every slash is
# followed by \:, a place where groff may break the path (it prints nothing there, and no hyphen
# when it breaks).
function(roff_path dir out)
  if(NOT IS_ABSOLUTE "${dir}")
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  string(REPLACE "\\" "\\e" dir "${dir}")
  string(REPLACE "-" "\\-" dir "${dir}")
  string(REPLACE "/" "/\\:" dir "${dir}")
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

roff_path("${orv_docdir}" docdir)
roff_path("${orv_datadir}/orv-programs" datadir)
file(REMOVE_RECURSE "${orv_man_filled}")
file(MAKE_DIRECTORY "${orv_man_filled}")
file(GLOB pages "${orv_man_source}/*.1")
foreach(page IN LISTS pages)
  file(READ "${page}" text)
  string(REPLACE "/usr/local/share/doc/orv\\-programs" "${docdir}" text "${text}")
  string(REPLACE "/usr/local/share/orv\\-programs" "${datadir}" text "${text}")
  get_filename_component(name "${page}" NAME)
  file(WRITE "${orv_man_filled}/${name}" "${text}")
endforeach()
