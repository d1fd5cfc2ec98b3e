# MuPDF as Debian ships it: a static library whose own dependencies come from
# pkg-config's static flags.
if(TARGET MuPDF::MuPDF)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(MUPDF REQUIRED mupdf)
add_library(MuPDF::MuPDF INTERFACE IMPORTED)
target_include_directories(MuPDF::MuPDF INTERFACE ${MUPDF_STATIC_INCLUDE_DIRS})
target_link_options(MuPDF::MuPDF INTERFACE ${MUPDF_STATIC_LDFLAGS_OTHER})
target_link_libraries(MuPDF::MuPDF INTERFACE ${MUPDF_STATIC_LIBRARIES})
target_link_directories(MuPDF::MuPDF INTERFACE ${MUPDF_STATIC_LIBRARY_DIRS})
