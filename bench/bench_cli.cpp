// The command line's listings over years of notes, each against the floor
// measured in the same run: a plain C program that lists the folder, sorts
// it, and reads each note's head and tail once (floor_list.c). Wall time of
// the whole run (exec to exit, output to /dev/null), median of several runs
// (the floor and ours taking turns), and the peak memory: it must not grow
// with the number of notes beyond the names themselves, the output being
// written as it goes.
//
//   bench_cli [RUNS [COUNT...]]     (default: 5 runs of 10000 and 50000 notes)
#include "benchrows.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run
{
    double seconds = 0;
    long peakKiB = 0;
};

Run runOnce(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run r;
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.peakKiB = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_cli: %s failed (%d)\n", argv[0].c_str(), status);
        std::exit(1);
    }
    return r;
}

Run median(std::vector<Run> all)
{
    std::sort(all.begin(), all.end(),
              [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    return all[all.size() / 2];
}

void put(std::string& s, const void* bytes, size_t n)
{
    s.append(static_cast<const char*>(bytes), n);
}

// A note as the encoder leaves it: an ID3v2.3 tag with the comment, eight
// MPEG-2 layer III frames (48 kbit/s, 22.05 kHz, mono), an ID3v1 tag.
std::string note(int i)
{
    char comment[64];
    std::snprintf(comment, sizeof comment, "\xcf\xee\xea\xf3\xef\xea\xe8 %d", i); // "Покупки N"
    const size_t commentLength = std::strlen(comment);
    std::string frames;
    // COMM: encoding, language, an empty description, the text.
    const unsigned frameSize = 1 + 3 + 1 + unsigned(commentLength);
    const unsigned char comm[10] = {'C', 'O', 'M', 'M', 0, 0, 0, (unsigned char)frameSize, 0, 0};
    put(frames, comm, 10);
    put(frames, "\x00rus\0", 5);
    put(frames, comment, commentLength);
    std::string s = "ID3\x03";
    s.push_back(0);
    s.push_back(0);
    const size_t size = frames.size();
    const char sizeBytes[4] = {char((size >> 21) & 0x7f), char((size >> 14) & 0x7f),
                               char((size >> 7) & 0x7f), char(size & 0x7f)};
    put(s, sizeBytes, 4);
    s += frames;
    for (int f = 0; f < 8; ++f) {
        std::string frame(156, '\0');
        frame[0] = char(0xff);
        frame[1] = char(0xf3);
        frame[2] = char(0x60);
        frame[3] = char(0xc4);
        s += frame;
    }
    std::string tag(128, '\0');
    std::memcpy(&tag[0], "TAG", 3);
    std::memcpy(&tag[63], "Ola-Brenvik", 11);
    std::memcpy(&tag[97], comment, std::min<size_t>(commentLength, 28));
    return s + tag;
}

// COUNT notes a few hours apart from 2024 on, named as the program names them.
void makeNotes(const std::string& media, int count)
{
    mkdir(media.c_str(), 0755);
    std::time_t t = 1704067200; // 2024-01-01 00:00 UTC
    for (int i = 0; i < count; ++i, t += 97 * 60 + 13) {
        std::tm tm{};
        gmtime_r(&t, &tm);
        char name[96];
        std::snprintf(name, sizeof name, "%s/%02d.%02d.%04d %02d\xd1\x87 %02d\xd0\xbc %02d.mp3",
                      media.c_str(), tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour,
                      tm.tm_min, tm.tm_sec);
        const std::string bytes = note(i);
        const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            std::perror(name);
            std::exit(1);
        }
        close(fd);
    }
}

std::string ms(double s)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.0f ms", s * 1000);
    return b;
}

std::string mib(long kib)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.1f MiB", kib / 1024.0);
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {10000, 50000};

    char folderTemplate[] = "/tmp/bench-cli-XXXXXX";
    const std::string folder = mkdtemp(folderTemplate);
    const std::string program = folder + "/Quillmur";
    if (std::system(("cp " QUILL_QUILLMUR " '" + program + "'").c_str()) != 0)
        return 1;
    const std::string media = folder + "/Media";

    std::vector<long> peaks;
    for (const int count : counts) {
        std::system(("rm -rf '" + media + "'").c_str());
        makeNotes(media, count);
        // The new notes written out first: their writing back to the disk
        // would otherwise fall on whichever run comes first.
        sync();
        struct Command
        {
            const char* label;
            std::vector<std::string> args;
            std::vector<Run> runs;
        };
        std::vector<Command> commands = {
            {"floor", {QUILL_FLOOR_LIST, media}, {}},
            {"--list", {program, "--list"}, {}},
            {"--list --json", {program, "--list", "--json"}, {}},
            {"--export-ics -", {program, "--export-ics", "-"}, {}},
        };
        // Taking turns, each round begun by the next one, so that a spell
        // of load falls on the floor and on ours alike.
        for (int i = 0; i < runs; ++i)
            for (size_t k = 0; k < commands.size(); ++k) {
                Command& c = commands[(size_t(i) + k) % commands.size()];
                c.runs.push_back(runOnce(c.args));
            }
        const Run floor = median(commands[0].runs);
        for (size_t k = 1; k < commands.size(); ++k) {
            const Command& c = commands[k];
            const Run ours = median(c.runs);
            printRow(std::string(c.label) + ", " + std::to_string(count) + " tasks",
                     ms(ours.seconds), ms(floor.seconds), ours.seconds / floor.seconds, 1.5);
            if (std::strcmp(c.label, "--list --json") == 0)
                peaks.push_back(ours.peakKiB);
        }
    }
    // Flat: the biggest folder needs little more memory than the smallest.
    if (peaks.size() >= 2)
        printRow("--list --json peak memory, " + std::to_string(counts.back()) + " vs " +
                     std::to_string(counts.front()) + " tasks",
                 mib(peaks.back()), mib(peaks.front()), double(peaks.back()) / peaks.front(), 1.25);
    std::system(("rm -rf '" + folder + "'").c_str());
    return 0;
}
