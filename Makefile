# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
SHARED     ?= $(abspath ../shared)
PREFIX     ?= /usr/local
# The CI build (CI=true) fails on any warning of GCC's.
WERROR     := $(if $(filter true,$(CI)),-DQUILLON_WERROR=ON,)

.PHONY: all deps configure build run test test-core test-gui bench fuzz clean install package

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_BENCH=ON $(WERROR)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/quillon $(ARGS)

# DESTDIR stages the files elsewhere, for a package or a test: make install DESTDIR=/tmp/stage
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# quillon_<version>_<arch>.deb in this folder, for `sudo apt install ./quillon_*.deb`.
package: build
	rm -f $(BUILD)/quillon_*.deb
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/quillon_*.deb .

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUILLON_GUI=OFF \
	  -DQUILLON_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" $(WERROR)

# Core tests run under AddressSanitizer + UndefinedBehaviorSanitizer, widget tests offscreen.
test-core: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure --timeout 600 -j $(JOBS) -L core

test-gui: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 120 -j $(JOBS) -L gui

test: test-core test-gui

bench: build
	@mkdir -p $(BUILD)/corpus
	@for c in small:10000 medium:200000 large:2000000; do \
	  f=$(BUILD)/corpus/$${c%%:*}.mb; [ -s $$f ] || python3 $(SHARED)/bench/gen_corpus.py $${c##*:} $$f; done
	@mkdir -p $(BUILD)/corpus/pages
	@for i in $$(seq 0 19); do \
	  f=$(BUILD)/corpus/pages/page$$i.mb; [ -s $$f ] || python3 $(SHARED)/bench/gen_corpus.py 20000 $$f --seed $$i; done
	@mkdir -p $(BUILD)/corpus/project
	@for i in $$(seq 0 29); do \
	  f=$(BUILD)/corpus/project/module$$i.mb; [ -s $$f ] || python3 $(SHARED)/bench/gen_corpus.py 20000 $$f --seed $$((100 + i)); done
	QUILLON_CORPUS_DIR=$(abspath $(BUILD))/corpus $(BUILD)/bench/quillon-bench $(BENCH_ARGS)

$(FUZZ_BUILD)/build.ninja: | deps
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUILLON_GUI=OFF -DQUILLON_TESTS=OFF -DQUILLON_FUZZ=ON

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
