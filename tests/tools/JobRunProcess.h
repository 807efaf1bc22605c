#pragma once
// Runs the tool programs as the acceptance tests use them: jobrun with a job
// on standard input, previewrun with a file; output read back from files.
#include <fcntl.h>
#include <stdlib.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Runs argv[0] with standard input from in (if not empty) and standard output
// and error into out and err, and waits for it.
inline JobRunOutcome RunProgram(const std::vector<std::string>& args, const std::filesystem::path& in,
                                const std::filesystem::path& out, const std::filesystem::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!in.empty()) posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    JobRunOutcome o;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    o.out = Slurp(out);
    o.err = Slurp(err);
    return o;
}

// work holds the job, the program's output files and the journals of its
// real runs (its own state folder, never the user's).
inline std::filesystem::path WriteJob(const std::filesystem::path& work, const std::string& input) {
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
    const auto in = work / "job.json";
    std::ofstream(in) << input;
    return in;
}

inline JobRunOutcome RunJobRun(const std::filesystem::path& work, const std::string& input) {
    return RunProgram({ZV_JOBRUN_PATH}, WriteJob(work, input), work / "out.txt", work / "err.txt");
}

// Starts jobrun without waiting, for a test that kills it.
inline pid_t SpawnJobRun(const std::filesystem::path& work, const std::string& input) {
    const auto in = WriteJob(work, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (work / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (work / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* argv[] = {const_cast<char*>(ZV_JOBRUN_PATH), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, ZV_JOBRUN_PATH, &actions, nullptr, argv, environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline void WaitJobRun(pid_t pid) {
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
}

}  // namespace zvtest
