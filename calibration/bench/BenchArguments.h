#pragma once
// The command lines of the calibration benches: "--name value" or
// "--name=value", lists separated by commas. Google Benchmark's own flags,
// which `make bench` gives every benchmark, are let through.
#include <string>
#include <utility>
#include <vector>

namespace calibration_bench {

struct NamedArgument {
    std::string name; // with its dashes, "--grids"
    std::string value;
};

std::vector<NamedArgument> NamedArguments(int argc, char** argv);

std::vector<int> IntegerList(const std::string& list);
std::vector<double> NumberList(const std::string& list);

// Square grid sizes, each clamped to the sizes a calibration can have.
std::vector<int> GridList(const std::string& list);

// Says on stderr that `argument` means nothing to this bench.
void NoteUnknown(const NamedArgument& argument);

} // namespace calibration_bench
