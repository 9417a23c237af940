# The registry layouts of real machines' keys (tests/layouts/*.reg), built
# into the programs that load them as texts: the tests and the benchmark.
file(GLOB SING_LAYOUT_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.reg)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SING_LAYOUT_FILES})
set(layouts_body "#include \"support/RegLayout.h\"\nnamespace {\nstruct Entry { const char* name; const char* text; };\nconst Entry kLayouts[] = {\n")
foreach(file ${SING_LAYOUT_FILES})
  get_filename_component(name ${file} NAME_WE)
  file(READ ${file} text)
  string(APPEND layouts_body "{\"${name}\", R\"layout(${text})layout\"},\n")
endforeach()
string(APPEND layouts_body "};\n}  // namespace\nconst char* BuiltInLayout(const std::string& name) {\n"
  "    for (const Entry& e : kLayouts)\n        if (name == e.name)\n            return e.text;\n    return nullptr;\n}\n")
file(WRITE ${CMAKE_BINARY_DIR}/layouts/BuiltInLayouts.cpp.new "${layouts_body}")
configure_file(${CMAKE_BINARY_DIR}/layouts/BuiltInLayouts.cpp.new ${CMAKE_BINARY_DIR}/layouts/BuiltInLayouts.cpp COPYONLY)
add_library(sing_layouts STATIC ${CMAKE_CURRENT_LIST_DIR}/../support/RegLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/../support/RegLayoutWin.cpp ${CMAKE_BINARY_DIR}/layouts/BuiltInLayouts.cpp)
target_include_directories(sing_layouts PUBLIC ${CMAKE_CURRENT_LIST_DIR}/.. PRIVATE ${PROJECT_SOURCE_DIR})
