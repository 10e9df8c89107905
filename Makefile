# Vorplex: the two commands are `make run` and `make test`; the rest sits in scripts/.
.PHONY: all build run test bench dist setup clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@scripts/build.sh

run:
	@scripts/run.sh

test:
	@scripts/test.sh

bench:
	@scripts/bench.sh

dist:
	@scripts/dist.sh

clean:
	rm -rf build/win build/native build/dist build/dist-test
