# cmake -DIN=page.html -DOUT=page.html -P pngpages.cmake: the page with its
# SVG pictures replaced by their PNG renderings.
file(READ ${IN} page)
string(REGEX REPLACE "(src|href)=\"([^\"]*)\\.svg\"" "\\1=\"\\2.png\"" page "${page}")
file(WRITE ${OUT} "${page}")
