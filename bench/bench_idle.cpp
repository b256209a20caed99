// Idle Vestrel against a bare Qt tray program, both started side by side in
// the same notification area: resident memory once settled (goal: at most
// 1.1 times the bare program's) and the system calls of all threads over a
// quiet interval between two minute ticks (goal: none but the one that
// strace's own attaching restarts). bench_idle [QUIET_SECONDS]
//
// Needs DISPLAY with a notification area (tools/bench-report.sh starts
// trayer), strace, and the installed program folder in QUILL_BENCH_PROGRAMS.
#include "benchrows.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

pid_t spawn(const std::vector<std::string>& argv, const std::string& cwd)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(127);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

std::vector<std::string> threads(pid_t pid)
{
    std::vector<std::string> ids;
    if (DIR* d = opendir(("/proc/" + std::to_string(pid) + "/task").c_str())) {
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                ids.push_back(e->d_name);
        closedir(d);
    }
    return ids;
}

// strace attached to every thread of each program for the interval; the
// number of system calls of each (strace's summary "total" line).
std::vector<long> systemCalls(const std::vector<pid_t>& pids, int seconds)
{
    std::vector<pid_t> tracers;
    std::vector<std::string> outputs;
    for (size_t i = 0; i < pids.size(); ++i) {
        outputs.push_back("/tmp/bench_idle." + std::to_string(getpid()) + "." + std::to_string(i));
        std::vector<std::string> argv = {"/usr/bin/strace", "-c", "-q", "-o", outputs.back()};
        for (const std::string& t : threads(pids[i])) {
            argv.push_back("-p");
            argv.push_back(t);
        }
        tracers.push_back(spawn(argv, {}));
    }
    sleep(unsigned(seconds));
    std::vector<long> counts;
    for (size_t i = 0; i < tracers.size(); ++i) {
        kill(tracers[i], SIGINT);
        waitpid(tracers[i], nullptr, 0);
        std::ifstream in(outputs[i]);
        long calls = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.find("total") == std::string::npos)
                continue;
            std::istringstream words(line);
            std::vector<std::string> w;
            for (std::string x; words >> x;)
                w.push_back(x);
            // % time, seconds, usecs/call, calls[, errors], "total"
            if (w.size() >= 4)
                calls = std::atol(w[3].c_str());
        }
        counts.push_back(calls);
        std::remove(outputs[i].c_str());
    }
    return counts;
}

} // namespace

int main(int argc, char** argv)
{
    const int quiet = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    const char* programs = std::getenv("QUILL_BENCH_PROGRAMS");
    if (!programs || !std::getenv("DISPLAY")) {
        std::printf("bench_idle: needs DISPLAY and QUILL_BENCH_PROGRAMS; nothing measured\n");
        return 0;
    }
    const std::string folder = programs;
    // As the main program starts it: minimized, so only the icon is seen,
    // like the bare program's. (With its window open it also draws text,
    // which loads fonts the bare program never needs.)
    const pid_t vestrel = spawn({folder + "/Vestrel", "-minimized"}, folder);
    const pid_t bare = spawn({QUILL_BARE_TRAY}, folder);
    // Settled: started, icon embedded, first paint done; the first tick is
    // a minute after the start, after the quiet interval.
    sleep(3);
    const long ours = residentKb(vestrel), floor = residentKb(bare);
    const long vestrelThreads = long(threads(vestrel).size());
    const std::vector<long> calls = systemCalls({vestrel, bare}, quiet);
    kill(vestrel, SIGTERM);
    kill(bare, SIGTERM);
    waitpid(vestrel, nullptr, 0);
    waitpid(bare, nullptr, 0);
    if (ours <= 0 || floor <= 0) {
        std::printf("a program did not run (Vestrel %ld kB, bare %ld kB)\n", ours, floor);
        return 0;
    }
    printRow("idle Vestrel resident memory (vs bare Qt tray app)", std::to_string(ours) + " kB",
             std::to_string(floor) + " kB", double(ours) / double(floor), 1.1);
    printRowText("idle Vestrel system calls in " + std::to_string(quiet) +
                     " s (vs bare Qt tray app)",
                 std::to_string(calls[0]), std::to_string(calls[1]), "-",
                 "<= 1 per thread (" + std::to_string(vestrelThreads) + ", strace's own restart)",
                 calls[0] <= vestrelThreads);
    return 0;
}
