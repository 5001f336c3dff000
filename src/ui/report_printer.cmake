# Printing of report texts, apart from the window so that it can be tested
# alone. Included from the folder's CMakeLists.txt.
add_library(torv_print STATIC ${CMAKE_CURRENT_LIST_DIR}/report_printer.cpp)
target_include_directories(torv_print PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(torv_print PUBLIC torv_report Qt6::PrintSupport Qt6::Gui)
