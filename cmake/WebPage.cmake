# WebPage.cmake - makes the web page one file: the module's script (with
# the module inside it) goes into the page template in place of its marker.
#
#   cmake -DTEMPLATE=page_web.html -DSCRIPT=zorvane_web.js -DOUT=zorvane.html -P WebPage.cmake
file(READ ${TEMPLATE} page)
file(READ ${SCRIPT} script)
# Inside a <script> element nothing may read as its end tag.
string(REPLACE "</script" "<\\/script" script "${script}")
string(FIND "${page}" "/*ZORVANE_SCRIPT*/" at)
if(at LESS 0)
  message(FATAL_ERROR "${TEMPLATE}: no /*ZORVANE_SCRIPT*/ marker")
endif()
string(REPLACE "/*ZORVANE_SCRIPT*/" "${script}" page "${page}")
file(WRITE ${OUT}.tmp "${page}")
file(RENAME ${OUT}.tmp ${OUT})
