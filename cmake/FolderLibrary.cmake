# le_folder_library(NAME [INTERNAL] [DEPS ...] [PRIVATE_DEPS ...])
# One library per folder: every .cpp in the folder. Sources are globbed so
# that a new class needs no edit here.
# The headers beside the sources are the library's public interface, except
# with INTERNAL (the platform kits): there they are the kit's own, and other
# kits and the tests reach them only by linking NAME_internal, which says so
# where it is done.
function(le_folder_library name)
	cmake_parse_arguments(ARG "INTERNAL" "" "DEPS;PRIVATE_DEPS" ${ARGN})
	set(_scope PUBLIC)
	if(ARG_INTERNAL)
		set(_scope PRIVATE)
		add_library(${name}_internal INTERFACE)
		target_include_directories(${name}_internal INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
		target_link_libraries(${name}_internal INTERFACE ${name})
	endif()
	file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
	if(_sources)
		add_library(${name} STATIC ${_sources})
		target_include_directories(${name} ${_scope} ${CMAKE_CURRENT_SOURCE_DIR})
		target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
	else()
		add_library(${name} INTERFACE)
		target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
		target_link_libraries(${name} INTERFACE ${ARG_DEPS})
	endif()
endfunction()

# le_test(NAME DIR DEPS...): one gtest binary of every .cpp in DIR, with the
# helpers of tests/common.
function(le_test name dir)
	file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp)
	if(NOT _sources)
		return()
	endif()
	add_executable(${name} ${_sources})
	target_link_libraries(${name} PRIVATE ${ARGN} test_common GTest::gtest GTest::gtest_main)
	# Tests that read files of the source tree find them from here, not from
	# __FILE__, which a compiler cache may have made relative.
	target_compile_definitions(${name} PRIVATE LE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
	set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
	add_test(NAME ${name} COMMAND ${name})
	set_tests_properties(${name} PROPERTIES TIMEOUT 600
		ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;LE_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
