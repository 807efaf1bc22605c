#pragma once
// jobrun: runs one job, described in JSON, through the rename engine exactly
// as the main window's buttons do, and reports in JSON what the user would
// have seen. The acceptance tests drive the engine through it.

#include <iosfwd>

namespace zv::jobrun {

inline constexpr int kExitRan = 0;        // the job ran, whichever way it ended
inline constexpr int kExitMalformed = 2;  // the input was not a job; one line on the error stream
inline constexpr int kExitFailed = 1;     // something unexpected went wrong

int RunJob(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zv::jobrun
