# The two commands of the project:
#   make test   bootstrap, build both presets, run every test under Wine
#   make demo   bootstrap, build both presets, show the package at work under Wine and write
#               the report build/wine64/demo/report.md (DEMO_BY_HAND=1: click the wizard yourself)
# Both do all set-up on a fresh Debian 12 machine. CI also runs
#   make check  two clean builds of each preset from two copies of the tree: bit-identical

PRESETS := win32 wine64
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)

.PHONY: all bootstrap build test demo check bench clean $(PRESETS)

all: build

bootstrap:
	@tools/bootstrap

build: bootstrap $(PRESETS)

$(PRESETS):
	cmake --preset $@ -DTAMRIX_WERROR=$(WERROR) >/dev/null
	cmake --build --preset $@

test: build
	tools/wine/session ctest --preset wine64

demo: build
	tools/wine/session tools/demo

check: bootstrap
	tools/release/check-reproducible

# Benchmarks print figures; they pass or fail nothing.
bench: build
	tools/wine/session wine build/wine64/bin/hook_bench.exe

clean:
	rm -rf build
