# Writes the service worker for the assembled site, run at build time once
# every other file of the site is in place: it lists them, each with the
# SHA-256 digest of its contents, which the worker checks what it keeps
# against, and names its copy after a digest of them all, so that a changed
# file changes the worker.
#
# cmake -DSITE=dir -DFILES=a,b,... -DTEMPLATE=sw.js.in -DPROJECT_VERSION=x.y.z
#       -P service-worker.cmake
string(REPLACE "," ";" files "${FILES}")

set(digests "")
set(QUADDLE_WEB_FILES "")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${digest}  ${file}\n")
    string(APPEND QUADDLE_WEB_FILES "\n    '${file}': '${digest}',")
    # The page is asked for as the site's folder too.
    if(file STREQUAL "index.html")
        string(APPEND QUADDLE_WEB_FILES "\n    './': '${digest}',")
    endif()
endforeach()
string(APPEND QUADDLE_WEB_FILES "\n")
string(SHA256 QUADDLE_WEB_DIGEST "${digests}")
string(SUBSTRING ${QUADDLE_WEB_DIGEST} 0 12 QUADDLE_WEB_DIGEST)

configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
