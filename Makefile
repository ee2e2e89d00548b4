# The two commands a new user runs: `make run` and `make test`.
# Both install what is missing, configure and build first.
# `make install` puts the program under $(PREFIX) (/usr/local unless given).
# `make fuzz` runs every file reader's fuzz target for FUZZ_SECONDS each.
# `make deb` builds the Debian package in $(DEB_DIR); `make deb-check` also
# checks it.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PROGRAM := $(BUILD_DIR)/sylvaro-lite/sylvaro-lite
ifeq ($(CI),true)
WERROR ?= ON
endif
WERROR ?= OFF
CMAKE_ARGS ?=
PREFIX ?= /usr/local
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 3
DEB_DIR ?= build-deb

.PHONY: all deps configure build run test install bench bench-deps bench-build soak asan tsan \
        fuzz-deps fuzz-build fuzz fuzz-smoke deb-deps deb deb-check format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DSYLVARO_WERROR=$(WERROR) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "make run: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session or with 'xvfb-run -a make run'."; \
	    exit 1; \
	fi
	@$(PROGRAM)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	    ctest --output-on-failure --timeout 300 -j2

install: build
	@cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

bench-deps:
	@scripts/install-deps.sh --bench

bench-build: bench-deps
	@cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DSYLVARO_BUILD_BENCH=ON -DSYLVARO_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_DIR)-bench

# The benchmarks; the ones in real time start private sound servers of their
# own (a PulseAudio, and a PipeWire unpacked into $(BUILD_DIR)-bench).
bench: bench-build
	@cmake --build $(BUILD_DIR)-bench --target run-bench
	@cmake --build $(BUILD_DIR)-bench --target run-console-cpu
	@cmake --build $(BUILD_DIR)-bench --target run-recorder-cpu
	@cmake --build $(BUILD_DIR)-bench --target run-rewrite-latency

# The console in real time through a private PulseAudio for
# SYLVARO_SOAK_MINUTES (30).
soak: bench-build
	@cmake --build $(BUILD_DIR)-bench --target run-realtime-soak

# The suite under the address and undefined-behaviour sanitizers, two tests at
# a time. The generated sounds' own measurements are left to `make test`:
# sanitized, they would only measure the same files again, slowly.
asan: deps
	@cmake --preset asan-ubsan >/dev/null
	@cmake --build --preset asan-ubsan
	@ctest --preset asan-ubsan

# The engine, mixer and end-to-end tests under the thread sanitizer. The
# libpulse output's tests are not among them: libpulse is not built with the
# sanitizer, and around its threaded main loop TSan reports races even on the
# test's own locked recorder; the mixer they drive is checked here through
# the other outputs.
tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

fuzz-deps:
	@scripts/install-deps.sh --fuzz

# Only the fuzz targets, the libraries they read files with and their seeds.
fuzz-build: fuzz-deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYLVARO_FUZZ=ON -DSYLVARO_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) --target fuzz_all

fuzz: fuzz-build
	@scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# A few seconds each from a fixed seed, for CI.
fuzz-smoke: fuzz-build
	@scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS) -seed=1

deb-deps:
	@scripts/install-deps.sh --deb

# From a fresh copy of the tree in $(DEB_DIR), where the package lands too.
deb: deb-deps
	@scripts/build-deb.sh $(DEB_DIR)

# lintian, and the same files as `make install` gives.
deb-check: deb build
	@scripts/deb-check.sh $(DEB_DIR) $(BUILD_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench build-debug build-asan build-tsan $(FUZZ_DIR) \
	    $(DEB_DIR)
