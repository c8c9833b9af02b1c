# Narvo's two commands: `make run` (FILE=path opens a file) and `make test`.
# Both install missing Debian packages first, then configure and build with CMake
# and Ninja. The build trees live under build/.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test deps build sanitize sanitize-all tsan bench clean

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/app/narvo $(if $(FILE),"$(FILE)")

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The no-Qt layers (shared, engine, posix services) under AddressSanitizer and
# UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DNARVO_WITH_QT=OFF -DNARVO_SANITIZE=address,undefined
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The whole program and every test under the same sanitizers; leak reports are off
# because Qt's and the desktop libraries' start-up allocations live until exit.
sanitize-all: deps
	cmake -S . -B build-asan-all -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DNARVO_SANITIZE=address,undefined
	cmake --build build-asan-all -j $(JOBS)
	cd build-asan-all && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same layers under ThreadSanitizer (the status thread polls the buffer).
tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DNARVO_WITH_QT=OFF -DNARVO_SANITIZE=thread
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && ctest --output-on-failure -j $(JOBS)

# Runs every benchmark program (the build also leaves *_autogen folders with the same
# prefix) and fails when one fails.
bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DNARVO_BENCH=ON -DNARVO_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	@set -e; for b in build-bench/bench/narvo_bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" $(BENCH_ARGS); fi; \
	done

clean:
	rm -rf $(BUILD) build-asan build-asan-all build-tsan build-bench
