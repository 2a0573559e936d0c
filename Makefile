# Zorvane - the two everyday commands:
#   make run    set up if needed (the compiler and the native build's libraries only),
#               build and start the saver
#   make test   set up if needed (everything the tests use), build all configurations
#               and run every test
# and the occasional ones:
#   make run-wine    the Windows saver under Wine (ARGS=/c: its configuration dialog)
#   make deb         the Debian package, build/zorvane_<version>_amd64.deb
#   make web         the saver as one web page, build/web/zorvane.html
#   make release     the files that ship, in build/release/, with SHA256SUMS
#   make repro       the release built twice from two clones, compared
#   make bench       the engine benchmark (Google Benchmark)
#   make fuzz        every fuzz target for 10 minutes
#   make soak        the long runs: 24 virtual hours headless, a minute of the real savers
# Each target installs what it needs (scripts/bootstrap.sh PROFILE); make setup
# installs what make test does.
.PHONY: run run-wine test setup build deb web release repro bench bench-saver fuzz soak clean

run:
	scripts/run.sh $(ARGS)

run-wine:
	scripts/run-wine.sh $(ARGS)

test:
	scripts/test.sh

setup:
	scripts/bootstrap.sh

build:
	scripts/bootstrap.sh run
	cmake --preset native >/dev/null && cmake --build --preset native

deb:
	scripts/deb.sh

web:
	scripts/bootstrap.sh web
	cmake --preset web >/dev/null && cmake --build --preset web

release:
	scripts/release.sh

repro:
	scripts/repro.sh

bench: build
	build/native/zorvane-bench

bench-saver:
	scripts/bench-saver.sh

fuzz:
	scripts/long-runs.sh fuzz

soak:
	scripts/long-runs.sh soak

clean:
	rm -rf build out
