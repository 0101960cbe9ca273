# The two everyday commands: `make run` plays the game, `make test` runs every test.
# Both install what is missing first, so they work on a fresh Debian 12 machine.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc)

.PHONY: run test deps build asan fuzz bench soak package windows windows-installer test-windows \
  web serve-web test-web bench-web clean format

run: build
	$(BUILD_DIR)/frontend/qt/krelmo99

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

asan:
	$(MAKE) test PRESET=asan

# The parsers under libFuzzer, each for a bounded time from its committed corpus
# (tests/fuzz/NAME_corpus): the settings file's, the simulator scripts' and the replays'.
# New finds go to build/fuzz/corpus/NAME.
FUZZ_SECONDS ?= 20
FUZZ_TARGETS := reg_text sim_script replay
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	set -e; for name in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$name; \
	  build/fuzz/tests/fuzz/$${name}_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	    -rss_limit_mb=2048 -print_final_stats=1 build/fuzz/corpus/$$name tests/fuzz/$${name}_corpus; \
	done

# Every performance figure in one table (tools/bench/bench.sh), from a release build of only
# the programs it runs.
BENCH_TARGETS := krelmo99 krelmo-bench krelmo-bench-qt krelmo-latency krelmo-audio-latency \
  krelmo-sim
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target $(BENCH_TARGETS)
	tools/bench/bench.sh build/release/tools build/release/frontend/qt/krelmo99

# Whole matches of both variants and every player count through the simulator under
# AddressSanitizer and UBSan for SOAK_SECONDS; fails on any report or growth of memory.
SOAK_SECONDS ?= 1800
soak: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS) --target krelmo-sim
	tools/sim/soak.sh build/asan/tools/krelmo-sim $(SOAK_SECONDS)

# The Debian package of a release build, in build/release/package/ (`cmake --install` takes
# the same files under any prefix).
package: deps
	$(MAKE) build PRESET=release
	cd build/release && cpack

# The game for 64-bit Windows (mingw-w64): build/windows/krelmo99.exe, one statically linked
# program on the Win32 API.
windows:
	@bash scripts/install-deps.sh --windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target krelmo99

# Its installer build/windows/krelmo99-VERSION-setup.exe (NSIS, for the user alone) and the
# portable build/windows/krelmo99-VERSION-windows.zip.
windows-installer: windows
	cmake --build --preset windows -j $(JOBS) --target krelmo-installer

# The game's logic and its tests built for 64-bit Windows with mingw-w64 and run under Wine
# (a prefix made afresh in build/windows/wineprefix), with the settings file written on Linux
# imported into Wine's registry; then krelmo99.exe played under Wine in an X server of its own,
# and its installer installed and removed (tests/windows/run_tests.sh). Installs Wine and NSIS:
# not in `make test`.
test-windows:
	@bash scripts/install-deps.sh --windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	cmake --build --preset windows -j $(JOBS) --target krelmo-installer
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target settings_file_writer krelmo-sim
	tests/windows/run_tests.sh build/windows build/default/tests/windows/settings_file_writer \
	  build/default/tools/krelmo-sim

# The game as a web page (preset "web", Debian's Emscripten): index.html, krelmo99.js and
# krelmo99.wasm in build/web, served by `make serve-web` on http://localhost:8099/.
WEB_PORT ?= 8099
web:
	@bash scripts/install-deps.sh --web
	cmake --preset web
	cmake --build --preset web -j $(JOBS)

serve-web: web
	@echo "Krelmo '99 on http://localhost:$(WEB_PORT)/ (Ctrl+C ends it)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build/web

# The page in Debian's Chromium, headless, driven by Playwright (tests/web), with the replay it
# offers played back by the Linux build's simulator.
test-web: web
	@bash scripts/install-deps.sh --web-test
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target krelmo-sim
	cd tests/web && KRELMO_SIM=$(CURDIR)/build/default/tools/krelmo-sim node web_test.mjs $(CURDIR)/build/web

# The page's figures: what it loads, its first frame, presents during play, idle CPU.
bench-web: web
	@bash scripts/install-deps.sh --web-test
	node tools/bench/web_bench.mjs $(CURDIR)/build/web

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
