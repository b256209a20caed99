// Start-up paths a user waits for, each against a bare Qt program started the
// same way (fork, exec, from the program's own folder), eight runs each
// (twelve for the sound, the programs taking turns), medians compared:
//
//   Tinkra: exec to the first sound on the speakers (goal: at most 20 ms
//           more than paplay of the same chime as a WAV); for reference, a
//           C program that turns the mixer up and plays the MP3 on ALSA
//           (floor_alarm.c), and a bare Qt program that plays it once its
//           QApplication stands
//   Quillmur: exec to its first frame on screen (goal: at most twice a bare
//           frameless widget of the same size); and with 50000 past tasks,
//           exec to "Прошедшие задачи - 50000" on its hint line, against a
//           bare window of the same size that shows the same lines (read
//           from a file, in list order) in a QListWidget (bare_list.cpp),
//           exec to its first frame (goal: at most 1.5 times)
//
// The sound rows run with the runtime folder on a tmpfs, where a desktop
// session has it (/run/user/UID): the alarm keeps its lock and the levels it
// raised there, written through to the disk, which on the disk the services'
// folder is on costs flushes a desktop never pays.
//
// Needs the private services of tools/test-services.sh (Xvfb with a window
// manager, PulseAudio with the null sink "speakers") and the installed
// program folder in QUILL_BENCH_PROGRAMS; without them it says so and ends.
#include "benchrows.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& cwd, int stdoutFd = -1)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(127);
        if (stdoutFd >= 0)
            dup2(stdoutFd, 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        if (stdoutFd < 0)
            dup2(null, 1);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Ends a program the orderly way and waits for it (killed after 5 s).
void finish(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What the speakers play, from their monitor. The null sink renders on the
// system clock, so sample n was played at start + n / rate; the start is the
// lowest (arrival time - samples so far / rate) seen, as data can only
// arrive after it was played.
class SpeakerMonitor
{
public:
    static constexpr int Rate = 44100;

    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_pid = spawn({"/usr/bin/parec", "-d", "speakers.monitor", "--raw", "--format=s16le",
                       "--rate=44100", "--channels=1", "--latency-msec=2"},
                      {}, fds[1]);
        close(fds[1]);
        m_fd = fds[0];
        m_thread = std::thread([this] { read(); });
        // At least a second to settle and to learn the sample clock; on a
        // loaded machine the server may take a few before the first data.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        for (int i = 0; i < 50; ++i) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_samples.size() > Rate / 2)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            close(m_fd);
    }

    // Seconds from `from` to the first sample louder than `level` played
    // after it; negative when none was heard.
    double firstSoundAfter(Clock::time_point from, int level)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const double t0 = since(from, m_origin) + m_start;
        const long first = std::max(0L, long(-t0 * Rate));
        for (size_t n = size_t(first); n < m_samples.size(); ++n)
            if (std::abs(int(m_samples[n])) > level)
                return t0 + double(n) / Rate;
        return -1;
    }

private:
    void read()
    {
        m_origin = Clock::now();
        char buf[4096];
        std::vector<char> carry;
        for (;;) {
            const ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got <= 0)
                return;
            const double now = since(m_origin, Clock::now());
            std::lock_guard<std::mutex> lock(m_mutex);
            carry.insert(carry.end(), buf, buf + got);
            const size_t whole = carry.size() / 2;
            for (size_t i = 0; i < whole; ++i) {
                int16_t s;
                std::memcpy(&s, &carry[2 * i], 2);
                m_samples.push_back(s);
            }
            carry.erase(carry.begin(), carry.begin() + long(whole * 2));
            m_start = std::min(m_start, now - double(m_samples.size()) / Rate);
        }
    }

    pid_t m_pid = -1;
    int m_fd = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    Clock::time_point m_origin;
    double m_start = 1e9; // seconds after m_origin when sample 0 was played
    std::vector<int16_t> m_samples;
};

// While it stands, the programs started get a runtime folder of their own
// on the tmpfs /dev/shm (when it is one), which reaches the sound server's
// socket and the session bus of the services' folder as before.
class TmpfsRuntimeFolder
{
public:
    TmpfsRuntimeFolder()
    {
        const char* services = std::getenv("XDG_RUNTIME_DIR");
        struct statfs fs
        {
        };
        char name[] = "/dev/shm/quill-bench-run.XXXXXX";
        if (!services || ::statfs("/dev/shm", &fs) != 0 || fs.f_type != TMPFS_MAGIC ||
            !::mkdtemp(name))
            return;
        m_services = services;
        m_folder = name;
        for (const char* shared : {"bus", "pulse"})
            ::symlink((m_services + "/" + shared).c_str(), (m_folder + "/" + shared).c_str());
        ::setenv("XDG_RUNTIME_DIR", name, 1);
    }
    ~TmpfsRuntimeFolder()
    {
        if (m_folder.empty())
            return;
        ::setenv("XDG_RUNTIME_DIR", m_services.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    TmpfsRuntimeFolder(const TmpfsRuntimeFolder&) = delete;
    TmpfsRuntimeFolder& operator=(const TmpfsRuntimeFolder&) = delete;
    bool used() const { return !m_folder.empty(); }

private:
    std::string m_services;
    std::string m_folder;
};

// Seconds from the start of `argv` to its first sound; below zero when none
// was heard.
double timeSoundOnce(SpeakerMonitor& monitor, const std::vector<std::string>& argv,
                     const std::string& cwd)
{
    const Clock::time_point t = Clock::now();
    const pid_t pid = spawn(argv, cwd);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    finish(pid);
    const double s = monitor.firstSoundAfter(t, 64);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return s;
}

// The median time to first sound of each program, the programs taking turns
// (each round begun by the next one), so that a spell of load on the machine
// falls on all of them alike.
std::vector<double> timeSoundInTurns(SpeakerMonitor& monitor,
                                     const std::vector<std::vector<std::string>>& programs,
                                     const std::string& cwd, int runs)
{
    std::vector<std::vector<double>> times(programs.size());
    for (int i = 0; i < runs; ++i) {
        for (size_t k = 0; k < programs.size(); ++k) {
            const size_t p = (size_t(i) + k) % programs.size();
            const double s = timeSoundOnce(monitor, programs[p], cwd);
            if (s >= 0)
                times[p].push_back(s);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& t : times)
        medians.push_back(median(t));
    return medians;
}

// Watches the screen for a program's first frame: the first window mapped
// on the root after the start, then a few of its rows until they differ from
// what the screen showed before the start.
class FrameWatch
{
public:
    bool open()
    {
        int screenNumber = 0;
        m_c = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_c))
            return false;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&it);
        m_screen = it.data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
        return true;
    }

    ~FrameWatch()
    {
        if (m_c)
            xcb_disconnect(m_c);
    }

    struct Result
    {
        double seconds = -1;
        double then = -1; // when `then` changed after the first frame
        int width = 0, height = 0;
    };
    struct Area
    {
        int x, y, w, h; // within the window
    };

    Result run(const std::vector<std::string>& argv, const std::string& cwd,
               const Area& then = Area{0, 0, 0, 0})
    {
        Result r;
        std::vector<uint8_t> before =
            grab(0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels);
        drain();
        const Clock::time_point t = Clock::now();
        const pid_t pid = spawn(argv, cwd);
        xcb_window_t mapped = XCB_NONE;
        const Clock::time_point deadline = t + std::chrono::seconds(10);
        while (mapped == XCB_NONE && Clock::now() < deadline) {
            xcb_generic_event_t* e = xcb_poll_for_event(m_c);
            if (!e) {
                usleep(200);
                continue;
            }
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY)
                mapped = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
            free(e);
        }
        if (mapped != XCB_NONE) {
            xcb_get_geometry_reply_t* g =
                xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, mapped), nullptr);
            if (g) {
                r.width = g->width;
                r.height = g->height;
                const int x = g->x, y = g->y;
                free(g);
                const int w = std::min<int>(r.width, m_screen->width_in_pixels - x);
                const int h = std::min<int>(r.height, m_screen->height_in_pixels - y);
                while (w > 0 && h > 0 && Clock::now() < deadline) {
                    if (changed(before, x, y, w, h)) {
                        r.seconds = since(t, Clock::now());
                        break;
                    }
                    usleep(500);
                }
                // Then the area as the first frame showed it, until it shows
                // something else.
                const std::vector<uint8_t> first =
                    then.w > 0 && r.seconds >= 0 ? grab(x + then.x, y + then.y, then.w, then.h)
                                                 : std::vector<uint8_t>();
                while (!first.empty() && Clock::now() < deadline) {
                    if (grab(x + then.x, y + then.y, then.w, then.h) != first) {
                        r.then = since(t, Clock::now());
                        break;
                    }
                    usleep(500);
                }
            }
        }
        finish(pid);
        usleep(300000);
        drain();
        return r;
    }

private:
    void drain()
    {
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c))
            free(e);
    }

    std::vector<uint8_t> grab(int x, int y, int w, int h)
    {
        xcb_get_image_reply_t* img = xcb_get_image_reply(
            m_c,
            xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_screen->root, int16_t(x), int16_t(y),
                          uint16_t(w), uint16_t(h), ~0u),
            nullptr);
        std::vector<uint8_t> out;
        if (img) {
            const uint8_t* d = xcb_get_image_data(img);
            out.assign(d, d + xcb_get_image_data_length(img));
            free(img);
        }
        return out;
    }

    // Eight rows spread over the window, against the same pixels before.
    bool changed(const std::vector<uint8_t>& before, int x, int y, int w, int h)
    {
        const size_t screenW = m_screen->width_in_pixels;
        for (int k = 0; k < 8; ++k) {
            const int row = y + (h - 1) * k / 7;
            const std::vector<uint8_t> now = grab(x, row, w, 1);
            if (now.size() < size_t(w) * 4 || before.size() < (size_t(row) * screenW + x + w) * 4)
                return false;
            if (std::memcmp(now.data(), &before[(size_t(row) * screenW + x) * 4], size_t(w) * 4) !=
                0)
                return true;
        }
        return false;
    }

    xcb_connection_t* m_c = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

// COUNT past task notes a few hours apart from 2014 on, each a few MPEG
// frames and a tag; their names.
std::vector<std::string> makeTasks(const std::string& media, int count)
{
    mkdir(media.c_str(), 0755);
    std::string note(8 * 156 + 128, '\0');
    for (int f = 0; f < 8; ++f) {
        note[size_t(f) * 156] = char(0xff);
        note[size_t(f) * 156 + 1] = char(0xf3);
        note[size_t(f) * 156 + 2] = char(0x60);
        note[size_t(f) * 156 + 3] = char(0xc4);
    }
    note.replace(8 * 156, 3, "TAG");
    std::vector<std::string> names;
    time_t t = 1388534400; // 2014-01-01 00:00 UTC
    for (int i = 0; i < count; ++i, t += 97 * 60 + 13) {
        std::tm tm{};
        gmtime_r(&t, &tm);
        char name[64];
        std::snprintf(name, sizeof name, "%02d.%02d.%04d %02dч %02dм %02d.mp3", tm.tm_mday,
                      tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
        const int fd = ::open((media + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0)
            continue;
        if (::write(fd, note.data(), note.size()) != ssize_t(note.size())) {
            ::close(fd);
            continue;
        }
        ::close(fd);
        names.push_back(name);
    }
    return names;
}

std::string ms(double seconds)
{
    char b[32];
    std::snprintf(b, sizeof b, "%.1f ms", seconds * 1e3);
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    // The sound rows differ by milliseconds: more runs for a steadier median.
    const int soundRuns = argc > 1 ? runs : 12;
    const char* programs = std::getenv("QUILL_BENCH_PROGRAMS");
    if (!programs || !std::getenv("DISPLAY") || !std::getenv("PULSE_SERVER")) {
        std::printf("bench_startup: needs DISPLAY, PULSE_SERVER and QUILL_BENCH_PROGRAMS; "
                    "nothing measured\n");
        return 0;
    }
    const std::string folder = programs;
    const std::string data = folder + "/Data";

    // The speakers at full volume, so the bare peers are heard as loudly
    // as the alarm (which turns them up itself).
    std::system("pactl set-sink-volume speakers 100% && pactl set-sink-mute speakers 0");
    SpeakerMonitor monitor;
    if (monitor.start()) {
        const TmpfsRuntimeFolder runtime;
        if (!runtime.used())
            std::printf("the sound rows' runtime folder is the services' own (no tmpfs)\n");
        const std::vector<double> heard = timeSoundInTurns(monitor,
                                                           {{data + "/Tinkra"},
                                                            {QUILL_BARE_SOUND, data + "/1.mp3"},
                                                            {QUILL_FLOOR_ALARM, data + "/1.mp3"},
                                                            {"/usr/bin/paplay", QUILL_CHIME_WAV}},
                                                           data, soundRuns);
        const double tinkra = heard[0], bare = heard[1], route = heard[2], paplay = heard[3];
        if (tinkra > 0 && bare > 0 && route > 0 && paplay > 0) {
            char goal[32];
            std::snprintf(goal, sizeof goal, "<= %.1f ms", (paplay + 0.020) * 1e3);
            printRowText("Tinkra exec -> first sound (vs paplay of a WAV + 20 ms)", ms(tinkra),
                         ms(paplay), ratioText(tinkra / paplay), goal, tinkra <= paplay + 0.020);
            printRowText("mixer up, then MP3 on ALSA, in C (vs paplay of a WAV), for reference",
                         ms(route), ms(paplay), ratioText(route / paplay), "-", true);
            printRowText("bare Qt player (vs paplay of a WAV), for reference", ms(bare), ms(paplay),
                         ratioText(bare / paplay), "-", true);
        } else {
            std::printf("no sound heard from Tinkra (%.3f), the bare player (%.3f), the C "
                        "route (%.3f) or paplay (%.3f)\n",
                        tinkra, bare, route, paplay);
        }
    } else {
        std::printf("the speakers' monitor gives nothing\n");
    }
    monitor.stop();

    FrameWatch watch;
    if (watch.open()) {
        std::vector<double> ours, bare;
        int w = 0, h = 0;
        for (int i = 0; i < runs; ++i) {
            const FrameWatch::Result r = watch.run({folder + "/Quillmur"}, folder);
            if (r.seconds >= 0)
                ours.push_back(r.seconds);
            w = r.width;
            h = r.height;
        }
        for (int i = 0; i < runs && w > 0; ++i) {
            const FrameWatch::Result r =
                watch.run({QUILL_BARE_WIDGET, std::to_string(w), std::to_string(h)}, folder);
            if (r.seconds >= 0)
                bare.push_back(r.seconds);
        }
        if (!ours.empty() && !bare.empty())
            printRow("Quillmur exec -> first frame (vs bare " + std::to_string(w) + "x" +
                         std::to_string(h) + " widget)",
                     ms(median(ours)), ms(median(bare)), median(ours) / median(bare), 2.0);
        else
            std::printf("no first frame seen (Quillmur %zu, bare %zu runs)\n", ours.size(),
                        bare.size());

        // Years of past tasks: the hint line's count against a bare list.
        const std::string media = folder + "/Media/";
        const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50000;
        std::vector<std::string> tasks = makeTasks(media, count);
        // The lines in the list's order (the names differ only in digits
        // and ASCII, where ignoring case changes nothing).
        std::vector<std::string> sorted = tasks;
        std::sort(sorted.begin(), sorted.end());
        const std::string lines = folder + "/bench-lines.txt";
        if (FILE* f = std::fopen(lines.c_str(), "w")) {
            for (const std::string& t : sorted)
                std::fprintf(f, "%s\n", t.c_str());
            std::fclose(f);
        }
        std::vector<double> counted, listed;
        const FrameWatch::Area hintLine{58, 370, 212, 23};
        for (int i = 0; i < runs && w > 0; ++i) {
            const FrameWatch::Result r = watch.run({folder + "/Quillmur"}, folder, hintLine);
            if (r.then >= 0)
                counted.push_back(r.then);
            const FrameWatch::Result b =
                watch.run({QUILL_BARE_LIST, std::to_string(w), std::to_string(h), lines}, folder);
            if (b.seconds >= 0)
                listed.push_back(b.seconds);
        }
        for (const std::string& t : tasks)
            unlink((media + t).c_str());
        unlink(lines.c_str());
        if (!counted.empty() && !listed.empty())
            printRow("Quillmur exec -> \"Прошедшие задачи - " + std::to_string(count) +
                         "\" (vs bare window of the same lines)",
                     ms(median(counted)), ms(median(listed)), median(counted) / median(listed),
                     1.5);
        else
            std::printf("no count seen (Quillmur %zu, bare list %zu runs)\n", counted.size(),
                        listed.size());
    }
    return 0;
}
