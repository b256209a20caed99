#include "alarmprelude.h"

#include "durablewrite.h"
#include "quicklock.h"

#include <csignal>
#include <cstring>
#include <thread>
#include <utility>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The application object of the bar's module (alarmwindow.h), only pointed at.
class QCoreApplication;

int DisplayProbe::look(const std::string& windowModule, int argc, char** argv)
{
    void* module = ::dlopen(windowModule.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Create = QCoreApplication* (*)(int*, char**);
    const auto create =
        module ? reinterpret_cast<Create>(::dlsym(module, "tinkraCreateApplication")) : nullptr;
    if (!create)
        return 2;
    int count = argc;
    return create(&count, argv) ? 0 : 3;
}

void DisplayProbe::start(const std::string& program, int argc, char** argv)
{
    std::vector<char*> args{const_cast<char*>(program.c_str()), const_cast<char*>(kOption)};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    // Not the signals the program holds back: the child ends as usual.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    m_pid = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes, args.data(), environ) == 0
                ? long(pid)
                : -1; // usable() then says so
    posix_spawnattr_destroy(&attributes);
}

bool DisplayProbe::usable(int ms, std::string* why)
{
    if (m_pid <= 0) {
        *why = "no process to look at the display with";
        return false;
    }
    const pid_t child = pid_t(m_pid);
    int status = 0;
    pid_t done = 0;
    for (int waited = 0; (done = ::waitpid(child, &status, WNOHANG)) == 0; waited += 20) {
        if (waited >= ms) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            m_pid = 0;
            *why = "the display did not answer";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = 0;
    if (done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    *why = "Qt cannot open a display here";
    if (done > 0 && WIFSIGNALED(status))
        *why += std::string(" (") + ::strsignal(WTERMSIG(status)) + ")";
    return false;
}

namespace {

// The system mixer `early` opened: its first open of device 0 is the one
// already done; everything else goes to it as it is.
class OpenedMixer : public SystemMixer
{
public:
    explicit OpenedMixer(EarlySound& early) : m_early(early) {}

    int deviceCount() override { return mixer().deviceCount(); }
    bool open(int device) override
    {
        SystemMixer& m = mixer();
        if (device == 0 && !std::exchange(m_firstOpenDone, true))
            return m_opened;
        return m.open(device);
    }
    std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) override
    {
        return mixer().findControl(line, type);
    }
    std::optional<long> readControl(int id) override { return mixer().readControl(id); }
    bool writeControl(int id, long value) override { return mixer().writeControl(id, value); }
    std::optional<std::vector<long>> readChannels(int id) override
    {
        return mixer().readChannels(id);
    }
    bool writeChannels(int id, const std::vector<long>& values) override
    {
        return mixer().writeChannels(id, values);
    }

private:
    SystemMixer& mixer()
    {
        if (!m_mixer) {
            m_mixer = m_early.takeMixer(&m_opened);
            if (!m_mixer)
                m_mixer = createAlsaMixer();
        }
        return *m_mixer;
    }

    EarlySound& m_early;
    std::unique_ptr<SystemMixer> m_mixer;
    bool m_opened = false;
    bool m_firstOpenDone = false;
};

bool exists(const std::string& path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

namespace AlarmLevels {

std::vector<int> taken()
{
    return {MMixer::SpeakerVolume, MMixer::WaveVolume, MMixer::SpeakerMute, MMixer::WaveMute};
}

void raise(MMixer& mixer)
{
    mixer.SetVolume(MMixer::SpeakerVolume, 100);
    mixer.SetVolume(MMixer::WaveVolume, 100);
    mixer.SetMute(MMixer::SpeakerMute, false);
    mixer.SetMute(MMixer::WaveMute, false);
}

} // namespace AlarmLevels

AlarmPrelude::AlarmPrelude() : mixer(std::make_unique<MMixer>(std::make_unique<OpenedMixer>(sound)))
{
}

AlarmPrelude::~AlarmPrelude()
{
    // Not taken over: the player could not be loaded.
    if (raised && mixer) {
        sound.stopChime();
        raised->restore(*mixer);
        ::unlink((m_run + "/Tinkra.sound").c_str());
    }
    if (lock >= 0) {
        ::unlink((m_run + "/Tinkra.lock").c_str());
        ::close(lock);
    }
}

void AlarmPrelude::begin(const std::string& ownFolder)
{
    sound.begin(ownFolder + "/1.mp3");
}

void AlarmPrelude::lookAtDisplay(int argc, char** argv)
{
    if (!display.started())
        display.start("/proc/self/exe", argc, argv);
}

void AlarmPrelude::start()
{
    const std::string run = QuickLock::runtimeFolder();
    if (run.empty() || !sound.begun() || lock >= 0)
        return;
    m_run = run;
    lock = QuickLock::create(run + "/Tinkra.lock", "Tinkra");
    if (lock < 0)
        return;
    // What killed runs of the suite left is put back by the player, which
    // knows how.
    if (leftoversIn(run))
        return;
    const std::string state = run + "/Tinkra.sound";
    mixer->OpenMixer(0);
    const MixerLevels saved = MixerLevels::take(*mixer, AlarmLevels::taken());
    // When the file cannot be written the alarm still sounds: a missed
    // reminder is worse than loud speakers.
    const std::string text = saved.toText();
    DurableFile::writeWhole(state.c_str(), text.data(), text.size());
    AlarmLevels::raise(*mixer);
    raised = saved;
    sound.play();
}

bool leftoversIn(const std::string& runtimeFolder)
{
    return exists(runtimeFolder + "/Tinkra.sound") ||
           (exists(runtimeFolder + "/Quillmur.sound") &&
            !QuickLock::holderRuns(runtimeFolder + "/Quillmur.lock"));
}

bool asksForNote(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--note") == 0 || std::strncmp(argv[i], "--note=", 7) == 0)
            return true;
    }
    return false;
}
