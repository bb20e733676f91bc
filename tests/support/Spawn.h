// Runs a program of the build as a child process, no shell between:
// posix_spawn, not fork or Qt's process class. The thread sanitizer refuses
// a fork once threads run (the row pool's do), and its clang runtime
// aborts in the clone that Qt's process start makes.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

// Starts exe with the arguments; standard output and error go to the files
// named (created or emptied). `environment` entries "NAME=value" replace or
// add to this process's, and an entry "NAME" removes it. Returns the process
// id, or -1.
inline pid_t StartProgram(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& out = "/dev/null", const std::string& err = "/dev/null",
                          const std::vector<std::string>& environment = {})
{
    std::vector<std::string> words{exe};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> settings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& s : environment)
            replaced = replaced || name(s) == name(entry);
        if (!replaced)
            settings.push_back(entry);
    }
    for (const std::string& s : environment)
        if (s.find('=') != std::string::npos)
            settings.push_back(s);
    std::vector<char*> envp;
    for (std::string& s : settings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        errno = failed;
        return -1;
    }
    return pid;
}

// How a child ended.
struct Ending {
    bool exited = false;   // by exit(), with `status`
    int status = -1;
    bool signalled = false; // by a signal (a sanitizer's abort, a crash)
    bool timedOut = false;  // still running at the limit: killed
};

// Waits for the child; one still running after `limit` is killed.
inline Ending WaitForProgram(pid_t pid, std::chrono::milliseconds limit = std::chrono::minutes(10))
{
    Ending ending;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return ending;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            ending.timedOut = true;
            return ending;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ending.exited = WIFEXITED(status);
    ending.status = ending.exited ? WEXITSTATUS(status) : -1;
    ending.signalled = WIFSIGNALED(status);
    return ending;
}

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A finished run: how it ended, and what it wrote.
struct ProgramRun {
    Ending ending;
    std::string out, err;
};

// Runs exe to its end (or the limit) with its output in two files under
// `folder`, which it reads back and removes.
inline ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                             const std::string& folder, const std::vector<std::string>& environment = {},
                             std::chrono::milliseconds limit = std::chrono::minutes(10))
{
    const std::string out = folder + "/run.stdout", err = folder + "/run.stderr";
    ProgramRun run;
    const pid_t pid = StartProgram(exe, args, out, err, environment);
    if (pid < 0) {
        run.err = std::string("could not start ") + exe + ": " + std::strerror(errno);
        return run;
    }
    run.ending = WaitForProgram(pid, limit);
    run.out = FileText(out);
    run.err = FileText(err);
    ::unlink(out.c_str());
    ::unlink(err.c_str());
    return run;
}

} // namespace testsupport
