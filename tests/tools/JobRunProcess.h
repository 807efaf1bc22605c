#pragma once
// Runs the tool programs as the acceptance tests use them: standard input from
// a file, standard output and error into files of the work folder.
#include <fcntl.h>
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
    std::stringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

// Starts args[0] with standard input from in (if not empty), output and errors
// into work/out.txt and work/err.txt; answers its process id (0 if it did not start).
inline pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& in,
                   const std::filesystem::path& work) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!in.empty()) posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (work / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, (work / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline JobRunOutcome Finish(pid_t pid, const std::filesystem::path& work) {
    JobRunOutcome o;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) o.status = WEXITSTATUS(status);
    o.out = Slurp(work / "out.txt");
    o.err = Slurp(work / "err.txt");
    return o;
}

// Starts jobrun on the job; its real runs keep their journals in work/state,
// never in the user's folder.
inline pid_t SpawnJobRun(const std::filesystem::path& work, const std::string& job) {
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
    std::ofstream(work / "job.json") << job;
    return Spawn({ZV_JOBRUN_PATH}, work / "job.json", work);
}

}  // namespace zvtest
