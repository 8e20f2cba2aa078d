# The front door: `make test` builds everything and runs every test;
# `make run` shows the installer with the demo package.
HOST   := build/host
WIN32  := build/win32
PACKAGE ?= package
CMAKE_QUIET := -Wno-dev --log-level=WARNING

.PHONY: all deps host-tree host win32 test run installer bench fuzz clean

all: win32

deps:
	@scripts/install-deps.sh

# A tree that make installer configured without the tests gets them now.
host-tree: deps
	@grep -qx 'QV_TESTS:BOOL=ON' $(HOST)/CMakeCache.txt 2>/dev/null || \
	  cmake $(CMAKE_QUIET) -S . -B $(HOST) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_TESTS=ON

host: host-tree
	@cmake --build $(HOST) -j2 -- --no-print-directory

win32: host
	@test -f $(WIN32)/CMakeCache.txt || cmake $(CMAKE_QUIET) -S . -B $(WIN32) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DQVPACK=$(CURDIR)/$(HOST)/tools/qvpack/qvpack
	@cmake --build $(WIN32) -j2 -- --no-print-directory
	@scripts/win64-tree.sh

test: all
	@scripts/run-tests.sh

# Each of these runs its script; scripts/bench.sh runs every scripts/bench-*.sh.
run: all
	@scripts/demo.sh

# A maintainer's installer needs the packer and the installer, no tests, and
# only the build tools: it installs nothing and says what is missing.
installer:
	@scripts/build-tools.sh
	@test -f $(HOST)/CMakeCache.txt || \
	  cmake $(CMAKE_QUIET) -S . -B $(HOST) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_TESTS=OFF
	@cmake --build $(HOST) --target qvpack -j2 -- --no-print-directory
	@scripts/installer.sh "$(PACKAGE)"

bench: all
	@scripts/bench.sh

fuzz: host
	@scripts/fuzz.sh

clean:
	rm -rf build
