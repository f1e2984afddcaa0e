# Entry points for people; CMake and Ninja do the work.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
BUILD_FUZZ ?= build-fuzz
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 180

.PHONY: all setup build demo test artwork check-sanitize check-tsan bench fuzz install install-user clean help

all: build

help:
	@echo "make demo            build and render the demo phrase through Ruvane"
	@echo "make test            build and run every test"
	@echo "make check-sanitize  the tests under address and undefined-behaviour sanitizers"
	@echo "make check-tsan      the threading tests under the thread sanitizer"
	@echo "make artwork         every editor bitmap, a contact sheet and the composed panel in build/artwork/"
	@echo "make bench           speed and memory figures"
	@echo "make fuzz            run every fuzzer for FUZZ_SECONDS each"
	@echo "make install         install Ruvane.so into ~/.vst and ruvane-render into ~/.local/bin"
	@echo "                     (PREFIX=... for PREFIX/lib/vst and PREFIX/bin)"

setup:
	@scripts/setup

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo $(BUILD)

artwork: build
	cmake --build $(BUILD) --target artwork

# Tests run on a private X server, so editor tests never touch a desktop and work
# on machines without one.
TEST_DISPLAY = xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp -noreset"

test: build
	$(TEST_DISPLAY) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

check-sanitize: setup
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRUVANE_SANITIZE=address,undefined \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 $(TEST_DISPLAY) ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

check-tsan: setup
	cmake -S . -B $(BUILD_TSAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRUVANE_SANITIZE=thread \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD_TSAN) -j $(JOBS)
	$(TEST_DISPLAY) ctest --test-dir $(BUILD_TSAN) --output-on-failure -j $(JOBS) -R '(Concurrent|Threads)'

bench: setup
	@scripts/setup bench
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target ruvane-bench Ruvane
	$(BUILD)/bench/ruvane-bench

fuzz: setup
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRUVANE_FUZZ=ON -DRUVANE_TESTS=OFF \
	  -DRUVANE_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@scripts/fuzz $(BUILD_FUZZ) $(FUZZ_SECONDS)

install: build
	@scripts/install $(BUILD) "$(if $(filter command line,$(origin PREFIX)),$(PREFIX)/lib/vst,$$HOME/.vst)"

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_FUZZ)
