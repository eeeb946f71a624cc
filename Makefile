# The two commands of the project, thin wrappers over the CMake presets.
#   make test   install what is missing, build everything, run every test
#   make bench  build and run the benchmarks
.PHONY: test deps bench clean

test: deps
	@scripts/test.sh

deps:
	@scripts/install-deps.sh

bench: deps
	@scripts/bench.sh

clean:
	rm -rf build
