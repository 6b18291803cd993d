# The two commands of the README: `make run` and `make test`.
JOBS ?= 2
export JOBS

.PHONY: all deps wine-route host win32 win64 test test-unit test-windows run bench clean

all: host win32 win64

deps:
	@scripts/install-deps

# Stops at once, with one sentence, where no Wine can run at all.
wine-route: deps
	@scripts/wine-route >/dev/null

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j $(JOBS)

win32 win64: deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

test-unit: host
	ctest --preset host -j $(JOBS)

# Both Windows builds, and under Wine what this machine can run (scripts/test-windows).
test-windows: wine-route
	@scripts/test-windows

test: wine-route
	$(MAKE) --no-print-directory test-unit
	$(MAKE) --no-print-directory test-windows

run: wine-route
	@scripts/run-demo

bench: wine-route
	@scripts/bench-session

clean:
	rm -rf build
