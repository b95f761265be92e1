# The Debian packages the project needs, sourced by the scripts beside it.

# To build and run the game.
build_packages=(cmake g++ make qt6-base-dev libgl-dev fonts-dejavu-core)

# To run the whole test suite of the Linux build as well: the tests are
# GoogleTest programs; the end-to-end test plays on a real X server with real
# input and reads the window back through the clipboard; the accessibility
# test plays through the AT-SPI bus in a private D-Bus session, with the
# program's clock fixed by libfaketime, and then from the keyboard with the
# Orca screen reader, whose speech server speaks through libao's silent
# driver; the Wayland test shows the window on Weston's headless backend;
# the installed desktop files are checked by their validators.
test_packages=("${build_packages[@]}" libgtest-dev googletest xvfb xauth xdotool xclip
               dbus at-spi2-core python3-pyatspi faketime orca speech-dispatcher
               speech-dispatcher-audio-plugins weston qt6-wayland desktop-file-utils appstream
               libbenchmark-dev)

# To cross-compile the Windows program with mingw-w64: the icon tool is
# built for this machine with its own compiler.
windows_packages=(cmake g++ make g++-mingw-w64-x86-64-posix)

# To run the Windows build's tests as well, under Wine on a private X server:
# GoogleTest is built for Windows from its sources.
windows_test_packages=("${windows_packages[@]}" googletest wine wine64 xvfb xauth xdotool
                       xclip)

# To build the game for the browser: Emscripten, with the host's compiler
# for the icon tool.
web_packages=(cmake g++ make emscripten)

# To run the web build's tests as well: Debian's Chromium, Firefox ESR and
# WebKitGTK (its WebDriver and MiniBrowser, on a private Xvfb), driven
# through playwright-core, puppeteer-core and selenium-webdriver from npm
# (tests/web/package-lock.json), and GoogleTest built for WebAssembly from
# its sources.
web_test_packages=("${web_packages[@]}" googletest chromium firefox-esr webkit2gtk-driver xvfb
                   xauth nodejs)

# To make the release packages: dpkg-buildflags gives Debian's hardening
# flags and dpkg-shlibdeps the Debian package's dependencies.
package_packages=("${build_packages[@]}" "${windows_packages[@]}" "${web_packages[@]}" dpkg-dev)

# To check them as players get them: lintian on the Debian package, which is
# then installed and started on X and on Weston; the Windows zip is unpacked
# and its program started under Wine; the page's zip is unpacked and played
# in the three browser engines. The programs' protections are read with
# hardening-check, binutils and mingw-w64's objdump.
package_check_packages=(lintian unzip xvfb xauth xdotool wine wine64 weston qt6-wayland chromium
                        firefox-esr webkit2gtk-driver nodejs devscripts binutils
                        binutils-mingw-w64-x86-64)
