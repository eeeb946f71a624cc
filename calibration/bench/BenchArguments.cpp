#include "BenchArguments.h"

#include "calibration/TargetLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace calibration_bench {
namespace {

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    std::stringstream stream(list);
    std::string item;
    while (std::getline(stream, item, ',')) items.push_back(item);
    return items;
}

} // namespace

std::vector<NamedArgument> NamedArguments(int argc, char** argv)
{
    std::vector<NamedArgument> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name.rfind("--benchmark", 0) == 0) continue;
        std::string value;
        const std::size_t eq = name.find('=');
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        arguments.push_back({name, value});
    }
    return arguments;
}

std::vector<int> IntegerList(const std::string& list)
{
    std::vector<int> numbers;
    for (const std::string& item : SplitList(list)) numbers.push_back(std::atoi(item.c_str()));
    return numbers;
}

std::vector<double> NumberList(const std::string& list)
{
    std::vector<double> numbers;
    for (const std::string& item : SplitList(list)) numbers.push_back(std::atof(item.c_str()));
    return numbers;
}

std::vector<int> GridList(const std::string& list)
{
    std::vector<int> sizes = IntegerList(list);
    for (int& size : sizes) size = std::clamp(size, calibration::kMinGridPoints, calibration::kMaxGridPoints);
    return sizes;
}

void NoteUnknown(const NamedArgument& argument)
{
    std::fprintf(stderr, "unknown argument %s\n", argument.name.c_str());
}

} // namespace calibration_bench
