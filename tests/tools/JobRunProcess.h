#pragma once
// Runs the jobrun program as the acceptance tests use it: a job on standard
// input, the result and any complaint read back from files.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

extern char** environ;

namespace zvtest {

struct JobRunOutcome {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// work holds the job and the program's output files.
inline JobRunOutcome RunJobRun(const std::filesystem::path& work, const std::string& input) {
    const auto in = work / "job.json", out = work / "out.txt", err = work / "err.txt";
    std::ofstream(in) << input;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {const_cast<char*>(ZV_JOBRUN_PATH), nullptr};
    pid_t pid = 0;
    JobRunOutcome o;
    if (posix_spawn(&pid, ZV_JOBRUN_PATH, &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    o.out = Slurp(out);
    o.err = Slurp(err);
    return o;
}

}  // namespace zvtest
