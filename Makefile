# VELDRA QX: the two set-up commands of a fresh Debian 12 machine.
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test (also under sanitizers)

BUILD ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 20
FUZZERS = profile language tool_image bmp
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build build-asan run test test-release test-asan fuzz bench screenshots clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVQX_SANITIZE=ON -DVQX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)

# The desktop program with the simulated gauge, in a demo home folder of the
# build tree (made from data/demo once, then kept with what the user did in
# it). Without a display the headless demo scan runs instead.
DEMO_HOME ?= $(BUILD)/demo-home

run: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target veldra-qx vqx vqx_manual
	@[ -d $(DEMO_HOME) ] || cp -r data/demo $(DEMO_HOME)
	@cp -u $(BUILD)/manual/*.PDF $(DEMO_HOME)/
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  cd $(DEMO_HOME) && exec $(CURDIR)/$(BUILD)/app/veldra-qx --simulate; \
	else \
	  echo "make run: no display here, so the headless demo scans run instead of the window."; \
	  $(BUILD)/cli/vqx scan --simulate --cal $(DEMO_HOME)/VELDRAQX.INI && \
	  $(BUILD)/cli/vqx scan --simulate --cal $(DEMO_HOME)/VELDRAQX.INI --shape round --depth 0.6 --width 1.2; \
	fi

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

# Each fuzzer runs for a fixed time from the committed seeds; new inputs go to
# the build folder, never into the seeds.
fuzz: deps
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DVQX_BUILD_FUZZ=ON -DVQX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target vqx_fuzzers
	for f in $(FUZZERS); do \
	  mkdir -p $(BUILD_FUZZ)/corpus/$$f && \
	  $(BUILD_FUZZ)/fuzz/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -print_final_stats=1 \
	    $(BUILD_FUZZ)/corpus/$$f fuzz/corpus/$$f || exit 1; \
	done

test: test-release test-asan fuzz

bench: build
	$(BUILD)/bench/vqx_bench

# Pictures of the windows (offscreen) into docs/screenshots.
screenshots: build
	$(BUILD)/app/vqx_screenshots $(BUILD)/app/veldra-qx data/demo docs/screenshots

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
