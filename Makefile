# The two commands of the project:
#   make test   bootstrap, build both presets, run every test under Wine: the x86_64 build's
#               suite under Debian's Wine and the shipping (i686) build's under the WoW64 Wine
#   make demo   bootstrap, build both presets, show the package at work under Wine and write
#               the report build/<preset>/demo/report.md (DEMO_BY_HAND=1: click the wizard yourself)
# Both do all set-up on a fresh Debian 12 machine. CI also runs
#   make check       two clean builds of each preset from two copies of the tree: bit-identical
#   make wine-wow64  the WoW64 Wine that runs the shipping build, built from Debian's source
#                    package when ../shared/wine-wow64 does not bring it (about 45 minutes)

PRESETS := win32 wine64
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)
WOW64_MISSING := the shipping (i686) suite did not run: no WoW64 Wine here; 'make wine-wow64' builds one (about 45 minutes on 2 cores)

.PHONY: all bootstrap build test demo check bench wine-wow64 clean $(PRESETS)

all: build

bootstrap:
	@tools/bootstrap

build: bootstrap $(PRESETS)

$(PRESETS):
	cmake --preset $@ -DTAMRIX_WERROR=$(WERROR) >/dev/null
	cmake --build --preset $@

# Both suites run, whatever the first gives; the run fails when either does.
test: build
	@status=0; \
	tools/wine/session ctest --preset wine64 || status=1; \
	if tools/wine/wow64 >/dev/null; then \
	    tools/wine/session --preset win32 ctest --preset win32 || status=1; \
	else \
	    echo "make test: $(WOW64_MISSING)"; \
	fi; \
	exit $$status

# The story from the shipping medium when the WoW64 Wine is at hand, else from the x86_64 one.
demo: build
	@if tools/wine/wow64 >/dev/null; then \
	    tools/wine/session --preset win32 tools/demo; \
	else \
	    echo "make demo: no WoW64 Wine here, so the demo runs the x86_64 build's medium instead of the shipping one; 'make wine-wow64' builds one (about 45 minutes)"; \
	    tools/wine/session tools/demo; \
	fi

check: bootstrap
	tools/release/check-reproducible

wine-wow64: bootstrap
	tools/wine/wow64 --build

# Benchmarks print figures; they pass or fail nothing.
bench: build
	tools/wine/session wine build/wine64/bin/hook_bench.exe

clean:
	rm -rf build
