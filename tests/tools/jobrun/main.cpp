#include <cstring>
#include <iostream>

#include "JobRun.h"

namespace {

constexpr const char* kUsage =
    "usage: jobrun < job.json > result.json\n"
    "Runs one rename job through the Zorvik engine and prints what it showed.\n"
    "Input: {\"source\": folder, \"destination\": folder, \"files\": [names], \"selected\": [rows] or "
    "\"all\",\n"
    "        \"controls\": {control name: value}, \"answers\": [buttons], \"now\": \"YYYY-MM-DDTHH:MM:SS\",\n"
    "        \"run\": \"test\"}\n"
    "Exit status: 0 the job ran, 2 the input is not a valid job.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        (help ? std::cout : std::cerr) << kUsage;
        return help ? 0 : zv::jobrun::kExitMalformed;
    }
    return zv::jobrun::RunJob(std::cin, std::cout, std::cerr);
}
