# Lirovox: `make run` sets up and starts the program, `make test` sets up and passes the
# tests (under AddressSanitizer and UndefinedBehaviorSanitizer), `make bench` runs the
# benchmarks.

BUILD      ?= build
TEST_BUILD ?= build-asan
BENCH_BUILD?= build-bench
JOBS       ?= $(shell nproc)

.PHONY: setup build run test bench demo clean

setup:
	bash scripts/setup

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIROVOX_BUILD_TESTS=OFF

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	bash scripts/run $(BUILD)/lirovox

test: setup
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLIROVOX_SANITIZE=ON -DLIROVOX_BUILD_TESTS=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIROVOX_BUILD_TESTS=OFF -DLIROVOX_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	$(BENCH_BUILD)/lirovox_bench

demo:
	/usr/bin/python3 tools/make_demo.py examples

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(BENCH_BUILD)
