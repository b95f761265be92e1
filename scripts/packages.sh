# The Debian packages the project needs, sourced by the scripts beside it.

# To build and run the game.
build_packages=(cmake g++ make qt6-base-dev libgl-dev fonts-dejavu-core)

# To run the whole test suite as well: the tests are GoogleTest programs; the
# end-to-end test plays on a real X server with real input and reads the
# window back through the clipboard.
# The Windows resources are compiled with mingw-w64's windres and read back;
# the installed desktop files are checked by their validators.
test_packages=("${build_packages[@]}" libgtest-dev googletest xvfb xauth xdotool xclip
               binutils-mingw-w64-x86-64 desktop-file-utils appstream
               libbenchmark-dev)
