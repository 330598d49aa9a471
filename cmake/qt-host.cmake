# Where Debian keeps its own Qt's host tools (moc, rcc and their CMake
# files), which a cross-build for Windows runs: Qt's own, made by
# scripts/windows-qt with `cmake -C`, and the program's, included by the top
# CMakeLists.txt.
set(QT_HOST_PATH /usr CACHE PATH "The host Qt's prefix")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake
    CACHE PATH "The host Qt's CMake files")
