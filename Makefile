# The two commands: `make run` and `make test`. Both install what is needed first. `make check`
# is the edit-compile loop: the test build and the unit tests, nothing packaged, cross-built or rebuilt.
MAKEFLAGS   += --no-print-directory
BUILD       ?= build
TEST_BUILD  ?= build-test
WIN_BUILD   ?= build-windows
PKG_BUILD   ?= build-package
JOBS        ?= $(shell nproc)
PREFIX      ?= /usr/local

FUZZ_SECONDS ?= 60

.PHONY: all deps build run report install uninstall package windows test test-server test-package check fuzz bench clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DMORAVEL_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "moravel: no display to show the window on (DISPLAY is not set); 'make report' prints the same inventory in this terminal."; \
	  exit 1; \
	fi
	@./$(BUILD)/moravel

report: build
	@./$(BUILD)/moravel-report

# Installs under PREFIX (default /usr/local), staged under DESTDIR when it is set.
install: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DMORAVEL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

# Removes what `make install` installed (same PREFIX and DESTDIR) and the folders it created.
uninstall:
	@DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall

# The Debian package moravel_<version>_<arch>.deb, in $(PKG_BUILD); the same bytes every time.
package: deps
	@JOBS=$(JOBS) bash scripts/build-package $(PKG_BUILD)

# The Windows programs, cross-built with mingw-w64 (the window program only with
# FLTK_PREFIX=<FLTK 1.3 for mingw>, see the README), and their zip; the Wine tests run them.
windows: deps
	@FLTK_PREFIX="$(FLTK_PREFIX)" JOBS=$(JOBS) bash scripts/build-windows $(WIN_BUILD)

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer and run under a virtual display.
test: deps windows
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORAVEL_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && MORAVEL_WINDOWS_BUILD_DIR=$(abspath $(WIN_BUILD)) xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j $(JOBS)
	@[ -n "$$CI" ] || echo "make test: skipped the real OCS Inventory server test (it installs and starts Apache and MariaDB); run it with 'make test-server'"
	@FUZZ_SECONDS=15 JOBS=$(JOBS) bash scripts/fuzz

# The real OCS Inventory NG server test alone (make test runs it too where CI is set): installs
# Apache, mod_perl, MariaDB and ocsinventory-server and starts private instances on loopback.
test-server: deps
	@bash scripts/install-deps --server
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORAVEL_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS) --target moravel-report
	@cd $(TEST_BUILD) && MORAVEL_TEST_SERVER=1 ctest --output-on-failure -R '^server/'

# The package tests, also the one that installs the package into a fresh Debian 12 root with apt
# and purges it again (mmdebstrap, root, network; a plain `make test` skips it unless CI is set).
test-package: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORAVEL_SANITIZE=ON >/dev/null
	@cd $(TEST_BUILD) && MORAVEL_TEST_PACKAGE=1 ctest -R '^resources/test_(package|clean_install)$$' --output-on-failure

# The same build as `make test` (so each makes the other's build current), and the tests
# labelled "unit": no Windows build, package, install, Wine or fuzzing.
check: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMORAVEL_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j $(JOBS) -L unit

# The libFuzzer targets (clang), each run for FUZZ_SECONDS; findings go to build-fuzz/findings/.
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash scripts/fuzz

# Moravel against lshw, hwinfo, neofetch, inxi and hardinfo, and against the floor (docs/benchmarks.md).
bench: deps
	@bash bench/run

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(WIN_BUILD) $(PKG_BUILD) build-fuzz build-bench
