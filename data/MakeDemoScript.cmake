# Writes the velt-demo script: its template with the help text of
# velt-demo.help (which is also its manual page) and the install's layout.
#   cmake -DTEMPLATE=... -DHELP=... -DOUT=... -DPROJECT_VERSION=...
#         -DVELT_INSTALL_MODULEDIR=... -DVELT_INSTALL_DATADIR=... -P MakeDemoScript.cmake
file(READ ${HELP} VELT_DEMO_HELP)
string(REGEX REPLACE "\n+$" "" VELT_DEMO_HELP "${VELT_DEMO_HELP}")
if(VELT_DEMO_HELP MATCHES "(^|\n)VELT_HELP(\n|$)")
    message(FATAL_ERROR "${HELP}: a line VELT_HELP would end the script's help early")
endif()
configure_file(${TEMPLATE} ${OUT} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
