# debian/changelog's newest entry carries the project's version
# (project(VERSION) in the top-level CMakeLists.txt, the one place it is set).
# Usage: cmake -DVERSION=<version> -DCHANGELOG=<file> -P changelog_version_test.cmake
file(STRINGS "${CHANGELOG}" first LIMIT_COUNT 1)
if(NOT first MATCHES "^tovik \\(([^)]*)\\) ")
  message(FATAL_ERROR "debian/changelog does not start with a tovik entry: ${first}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "debian/changelog is at ${CMAKE_MATCH_1}, project(VERSION) at ${VERSION}")
endif()
