# Zorvane - the two everyday commands:
#   make run    set up if needed, build and start the saver
#   make test   set up if needed, build all configurations and run every test
.PHONY: run test setup build bench clean

run:
	scripts/run.sh $(ARGS)

test:
	scripts/test.sh

setup:
	scripts/bootstrap.sh

build: setup
	cmake --preset native >/dev/null && cmake --build --preset native

bench: build
	build/native/zorvane-bench

clean:
	rm -rf build out
