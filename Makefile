# The two entry points of the Quick start, plus the pieces they are made of.
BUILD   ?= build
GENERATOR := -G Ninja
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build test demo screenshot sanitize fuzz package bench clean windows test-windows windows-package

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(GENERATOR) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2

# Only the window and the simulator: a first run needs neither the tests nor the tool.
demo: configure
	@cmake --build $(BUILD) --target zel5100util zel5100-sim
	@scripts/demo $(BUILD)

# The README's picture: the window on the simulator, drawn offscreen.
screenshot: configure
	@cmake --build $(BUILD) --target zel_window_screenshot
	@scripts/screenshot $(BUILD) docs/zel5100util.png

# The library, simulator, command-line tool and their tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (the window is left out: Qt itself is not built with them).
sanitize:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DZEL_SANITIZE=ON -DZEL_BUILD_GUI=OFF"

# A bounded libFuzzer run of every fuzz target, seeded from the kept corpus; see the
# README for FUZZ_CORPUS_DIR and FUZZ_OPTIONS (longer campaigns).
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZEL_FUZZ=ON -DZEL_BUILD_GUI=OFF >/dev/null
	@cmake --build build-fuzz --target fuzzers
	@FUZZ_CORPUS_DIR="$(FUZZ_CORPUS_DIR)" FUZZ_OPTIONS="$(FUZZ_OPTIONS)" scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# Times against the wire limit of a paced simulator (about 80 s; not a test).
bench: build
	@$(BUILD)/bench/zel-bench

# A Debian package of the three programs: $(BUILD)/zel5100util_<version>_<arch>.deb
package: build
	@cd $(BUILD) && cpack -G DEB

# The Windows programs, cross-built with mingw-w64 (cmake/mingw-w64-x86_64.cmake).
WIN_BUILD ?= build-windows
windows: deps
	@cmake -S . -B $(WIN_BUILD) $(GENERATOR) $(CMAKE_FLAGS) \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
		-DZEL_HOST_BUILD=$(CURDIR)/$(BUILD) >/dev/null
	@cmake --build $(WIN_BUILD)

# The Windows tests under wine. The Linux simulator and zelctl that the serial tests
# compare against come from $(BUILD). One wine prefix under the build folder, so a
# run starts clean, and one wineserver kept running across the tests (each test
# would otherwise pay for starting it); a first program run sets the prefix up.
# wineserver refuses a prefix folder that does not exist yet, as in a fresh clone.
WINE_ENV = WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wineprefix WINEDEBUG=-all
test-windows: configure windows
	@cmake --build $(BUILD) --target zel5100-sim zelctl make_test_firmware
	@$(WINE_ENV) wineserver -k >/dev/null 2>&1 || true
	@$(WINE_ENV) wineserver -w >/dev/null 2>&1 || true
	@mkdir -p $(WIN_BUILD)/wineprefix
	@$(WINE_ENV) wineserver -p </dev/null >/dev/null
	@$(WINE_ENV) wine cmd /c exit >/dev/null 2>&1 || true
	@cd $(WIN_BUILD) && $(WINE_ENV) ctest --output-on-failure --timeout 600 -j2; \
		status=$$?; $(WINE_ENV) wineserver -k >/dev/null 2>&1; exit $$status

# The Windows ZIP and installer: $(WIN_BUILD)/zel5100util-<version>-win64.{zip,exe}
windows-package: windows
	@cd $(WIN_BUILD) && cpack

clean:
	rm -rf $(BUILD) build-asan build-fuzz $(WIN_BUILD)
