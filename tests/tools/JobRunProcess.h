#pragma once
// Runs the jobrun program as the acceptance tests use it: a job on standard
// input, the result and any complaint read back from files.
#include <fcntl.h>
#include <stdlib.h>
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

// Starts jobrun on a job; work holds the job, the program's output files and
// the journals of its real runs (its own state folder, never the user's).
inline pid_t SpawnJobRun(const std::filesystem::path& work, const std::string& input) {
    const auto in = work / "job.json", out = work / "out.txt", err = work / "err.txt";
    std::ofstream(in) << input;
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {const_cast<char*>(ZV_JOBRUN_PATH), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, ZV_JOBRUN_PATH, &actions, nullptr, argv, environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline JobRunOutcome WaitJobRun(const std::filesystem::path& work, pid_t pid) {
    JobRunOutcome o;
    if (pid > 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    o.out = Slurp(work / "out.txt");
    o.err = Slurp(work / "err.txt");
    return o;
}

inline JobRunOutcome RunJobRun(const std::filesystem::path& work, const std::string& input) {
    return WaitJobRun(work, SpawnJobRun(work, input));
}

}  // namespace zvtest
