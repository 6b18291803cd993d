# The two commands of the README: `make run` and `make test`.
JOBS ?= 2

.PHONY: all deps host win32 test test-unit test-win32 run bench clean

all: host win32

deps:
	@scripts/install-deps

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j $(JOBS)

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test-unit: host
	ctest --preset host -j $(JOBS)

test-win32: win32
	scripts/with-session ctest --preset win32 -j 1

test: test-unit test-win32

run: deps
	@scripts/run-demo

bench: win32
	@scripts/with-session bench/run

clean:
	rm -rf build
