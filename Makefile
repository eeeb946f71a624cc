# The two commands of the project, thin wrappers over the CMake presets.
#   make test   install what is missing, build everything, run every test
#   make bench  build and run the benchmarks
#   make screenshots  pictures of the dialogs, under Xvfb
.PHONY: test deps bench screenshots clean

test: deps
	@scripts/test.sh

deps:
	@scripts/install-deps.sh

bench: deps
	@scripts/bench.sh

screenshots: deps
	@scripts/screenshots.sh

clean:
	rm -rf build
