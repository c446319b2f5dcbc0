# Fills the winget manifest's templates for a built and signed image:
#   cmake -DIMAGE=NetQuilloSetup.exe -DOUTPUT=dir -DVERSION=1.0.0 -DARCHITECTURE=x86
#         -P generate.cmake
# The hash is the signed image's, so this runs after signing.
file(SHA256 "${IMAGE}" NQ_INSTALLER_SHA256)
string(TOUPPER "${NQ_INSTALLER_SHA256}" NQ_INSTALLER_SHA256)
set(NQ_VERSION "${VERSION}")
set(NQ_ARCHITECTURE "${ARCHITECTURE}")
file(GLOB templates "${CMAKE_CURRENT_LIST_DIR}/*.yaml.in")
foreach(template ${templates})
  get_filename_component(name "${template}" NAME)
  string(REGEX REPLACE "\\.in$" "" name "${name}")
  configure_file("${template}" "${OUTPUT}/${name}" @ONLY)
endforeach()
