# Quoll: the commands a developer and CI use. `make test` is what CI runs.
BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_GEN  := -G Ninja
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all deps build build-asan test run demo screenshots bench difftest fuzz install package clean format

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

# The engine and host built with address and undefined-behaviour sanitizers.
build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUOLL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)

test: build build-asan
	@echo "== sanitizer build =="
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j2 --timeout 300
	@echo "== release build =="
	@ctest --test-dir $(BUILD) --output-on-failure -j2 --timeout 300

# The workbench; FILES open in editor windows.
FILES ?= examples/hello.qs
run: build
	@$(BUILD)/quoll $(FILES)

# The README's pictures of the workbench, rendered on a virtual display.
screenshots: build
	@xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/quoll-screenshots examples/triangle.qs docs/screenshots 13 8 Row Kind I Result Missing
	@python3 tests/card/pcsc_stack.py run --vcard $(BUILD)/quoll-vcard -- xvfb-run -a -s "-screen 0 1280x1024x24" \
	  $(BUILD)/quoll-screenshots --script-form examples/apdu_form.qs docs/screenshots/apdu-form.png

# The help dialog's demonstration script against pcscd and the virtual card (started if need be).
demo: build
	@python3 tests/card/pcsc_stack.py run --vcard $(BUILD)/quoll-vcard -- $(BUILD)/quoll-run examples/demo.qs

bench: build
	@python3 bench/run.py --quoll $(BUILD)/quoll-run
	@python3 bench/forms.py --quoll $(BUILD)/quoll-run

# The differential check before an engine change: the engine of DIFFTEST_BASE (a git revision;
# default the merge-base with main), built in build-difftest/base, against this tree's sanitizer
# build on the golden scripts, examples, benchmarks and DIFFTEST_COUNT mutants of them.
DIFFTEST_BASE  ?=
DIFFTEST_COUNT ?= 100000
DIFFTEST_SEED  ?= 1
DIFFTEST_FIRST ?= 0
difftest: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUOLL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) --target quoll-run quoll-native-test-exports
	@python3 tools/difftest/difftest.py --current $(ASAN_BUILD)/quoll-run --count $(DIFFTEST_COUNT) \
	  --seed $(DIFFTEST_SEED) --first $(DIFFTEST_FIRST) $(if $(DIFFTEST_BASE),--base $(DIFFTEST_BASE))

# The fuzz entry point (clang's libFuzzer) for FUZZ_SECONDS on the golden scripts and examples;
# what it finds lands in $(BUILD)/fuzz/work/crashes.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) --target quoll-fuzz
	@tools/fuzz/run_fuzz.sh $(BUILD)/fuzz/quoll-fuzz $(FUZZ_SECONDS) $(BUILD)/fuzz/work

# Installs the programs, manual pages, desktop entry, icon and MIME type under $(DESTDIR)$(PREFIX).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package $(BUILD)/quoll_VERSION_ARCH.deb (CPack, dependencies from dpkg-shlibdeps).
package: build
	@cmake --build $(BUILD) --target package

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
