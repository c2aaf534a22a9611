# The two commands: `make run` and `make test`. Everything else is for developers and CI.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
RELEASE_BUILD ?= build-release
INSTALL_BUILD ?= build-install
WEB_BUILD  ?= build-web
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test web serve-web web-test install release bench soak golden sanitize-test fuzz mutate mutate-list format format-check clean

all: build

deps:
	@scripts/install-deps.sh

# Our builds treat warnings as errors (VELMORA_WERROR); a plain cmake configure does not.
configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DVELMORA_WERROR=ON $(CMAKE_ARGS) > $(BUILD).configure.log 2>&1 || (cat $(BUILD).configure.log; exit 1)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD)

# The browser tests join in where emscripten and chromium are installed (make deps installs them).
test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@if command -v em++ > /dev/null && command -v chromium > /dev/null; then $(MAKE) --no-print-directory web-test; fi

# The demo as a web page in $(WEB_BUILD)/ (WebAssembly and WebGL 2), and a server for it on
# 127.0.0.1 (PORT, default 8080).
web: deps
	@JOBS=$(JOBS) scripts/build-web.sh $(WEB_BUILD)

PORT ?= 8080
serve-web: web
	@node web/serve.mjs $(WEB_BUILD) $(PORT)

# The page in headless chromium against velmora-capture's frames.
web-test: build web
	@scripts/web-test.sh $(BUILD) $(WEB_BUILD)

# The programs, models, desktop entries, thumbnailer and icons under PREFIX; DESTDIR=DIR stages
# them below DIR. A build of its own, configured for PREFIX (the programs look for the installed
# models there), without the tests and benchmarks: only what is installed is built.
install: deps
	@cmake -S . -B $(INSTALL_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVELMORA_WERROR=ON -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_ARGS) > $(INSTALL_BUILD).configure.log 2>&1 || (cat $(INSTALL_BUILD).configure.log; exit 1)
	@cmake --build $(INSTALL_BUILD) -j $(JOBS)
	@cmake --install $(INSTALL_BUILD)

# Everything built once at -O3, warnings as errors: the optimiser finds warnings of its own.
release: deps
	@cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR=ON > $(RELEASE_BUILD).configure.log 2>&1 || (cat $(RELEASE_BUILD).configure.log; exit 1)
	@cmake --build $(RELEASE_BUILD) -j $(JOBS)

# The reader, then the frame beside BENCH_BASE's (built in a temporary work tree, measured in
# the same run); the default base is the last commit before the frame and reader were made
# fast. BENCH_BASE= measures this build alone. Then the viewer on a million triangles. Every
# part runs; any failing fails the target.
BENCH_BASE ?= 6792276
bench: build
	@r=0; scripts/run-bench.sh $(BUILD) || r=1; scripts/frame-bench.sh $(BUILD) $(BENCH_BASE) || r=1; scripts/view-bench.sh $(BUILD) || r=1; exit $$r

golden: build
	@scripts/update-golden.sh $(BUILD)

soak: build
	@scripts/soak.sh $(BUILD) 100000

# Unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer. The leak checker
# does not follow dynamic TLS: with it, GCC 12's checker read a bogus TLS block and crashed
# at exit on some models ("Tracer caught signal 11").
sanitize-test: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON > $(ASAN_BUILD).configure.log 2>&1 || (cat $(ASAN_BUILD).configure.log; exit 1)
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# FUZZ_SECONDS of the loader's fuzzer, starting from the committed corpus.
FUZZ_SECONDS ?= 60
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Mutation testing on a random draw: ../shared/tools/mutants-sample picks MUT_COUNT mutants from
# every site of the product code where an operator can be swapped, a constant moved by one, a
# condition negated or a statement dropped; MUT_SEED picks the draw. The default seed is the
# number of commits, so every commit draws anew and nobody chooses the faults. Mutants judged
# unable to change anything observable are listed, with the reason, in
# tests/equivalent-mutants.txt and skipped. Each mutant runs on a fresh clone of what is
# committed; the long process runs (soak, input storm, the replays that hash frames) are left
# out for time, so what only they would catch counts as survived. `make mutate-list` runs the
# hand-written list in tests/mutants.txt instead.
MUT_SEED  ?= $(shell git rev-list --count HEAD)
MUT_COUNT ?= 100
# The page's own sources (web/, with its browser platform) are not in the desktop build its tests
# run.
MUT_PATHS ?= math model toon scene ui shell app view tools/objinfo tools/capture platform
MUT_EXCLUDE ?= soak|InputStorm|Replays.*/(keys|storm)
mutate: deps
	@../shared/tools/mutants-sample --seed $(MUT_SEED) --count $(MUT_COUNT) \
	    --equivalents tests/equivalent-mutants.txt $(MUT_PATHS) > mutants-drawn.txt
	@head -1 mutants-drawn.txt
	@MUT_EXCLUDE='$(MUT_EXCLUDE)' ../shared/tools/mutate mutants-drawn.txt | tee mutate.log

mutate-list: deps
	@MUT_EXCLUDE='$(MUT_EXCLUDE)' ../shared/tools/mutate tests/mutants.txt | tee mutate.log

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(RELEASE_BUILD) $(INSTALL_BUILD) $(WEB_BUILD) $(WEB_BUILD).obj *.configure.log
