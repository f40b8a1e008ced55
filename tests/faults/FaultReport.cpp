// How the suite names its faults and where it reports each case.
#include <cstdlib>
#include <fstream>

#include "FaultSuite.h"

namespace kivo::faults {

const char* FaultName(Fault fault) {
    switch (fault) {
    case Fault::FileReadOnly:
        return "FileReadOnly";
    case Fault::FolderReadOnly:
        return "FolderReadOnly";
    case Fault::DiskFull:
        return "DiskFull";
    case Fault::Removed:
        return "Removed";
    case Fault::RemovedBetweenSteps:
        return "RemovedBetweenSteps";
    case Fault::Held:
        return "Held";
    case Fault::Killed:
        return "Killed";
    case Fault::Link:
        return "Link";
    }
    return "?";
}

void Report(const std::string& line) {
    if (const char* file = std::getenv("KIVO_FAULT_REPORT"))
        std::ofstream(file, std::ios::app) << line << "\n";
}

} // namespace kivo::faults
