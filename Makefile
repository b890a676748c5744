# The two everyday commands (see README): `make run` and `make test`.
PRESET ?= default
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)

.PHONY: run test deps configure build asan fuzz-smoke clean format

run: build
	cd $(BUILD) && ./branchwick

test: build
	ctest --preset $(PRESET) -j$(JOBS) --output-junit ctest-report.xml
	@if [ "$${CI:-}" = "true" ]; then ./scripts/check-skips $(BUILD)/ctest-report.xml; fi

deps:
	./scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j$(JOBS)

asan:
	$(MAKE) test PRESET=asan

fuzz-smoke: deps
	./scripts/fuzz-smoke

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
