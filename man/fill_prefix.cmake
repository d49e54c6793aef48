# Run by `cmake --install`: copies the manual pages from orv_man_source into orv_man_filled with
# the documentation folder they name, /usr/local/share/doc/orv-programs, replaced by the one being
# installed to (CMAKE_INSTALL_PREFIX holds the prefix of this installation, DESTDIR left out).
if(IS_ABSOLUTE "${orv_docdir}")
  set(docdir "${orv_docdir}")
else()
  set(docdir "${CMAKE_INSTALL_PREFIX}/${orv_docdir}")
endif()
# As roff text: a backslash is written \e, a hyphen \-. A long prefix can make the path wider
# than a line, so every slash is followed by \:, a place where groff may break the path (it
# prints nothing there, and no hyphen when it breaks).
string(REPLACE "\\" "\\e" docdir "${docdir}")
string(REPLACE "-" "\\-" docdir "${docdir}")
string(REPLACE "/" "/\\:" docdir "${docdir}")
file(REMOVE_RECURSE "${orv_man_filled}")
file(MAKE_DIRECTORY "${orv_man_filled}")
file(GLOB pages "${orv_man_source}/*.1")
foreach(page IN LISTS pages)
  file(READ "${page}" text)
  string(REPLACE "/usr/local/share/doc/orv\\-programs" "${docdir}" text "${text}")
  get_filename_component(name "${page}" NAME)
  file(WRITE "${orv_man_filled}/${name}" "${text}")
endforeach()
