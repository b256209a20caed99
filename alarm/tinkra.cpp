// Tinkra: the alarm. Plays Data/1.mp3 for five seconds with the speakers
// turned up, in a small bar that stays on top and says what is due, then,
// when the user asked for it, the due notes themselves, and puts the mixer
// back. "Tinkra --note FILE" plays one note and nothing else.
//
// This is its first stage, without Qt (see alarmprelude.h); the player
// proper is libTinkraPlayer.so beside it.
#include "alarmprelude.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

namespace {

// The folder this program was started from, as the kernel knows it.
std::string ownFolder()
{
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", &path[0], path.size());
    if (n <= 0 || size_t(n) >= path.size())
        return ".";
    path.resize(size_t(n));
    return path.substr(0, path.rfind('/'));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = ownFolder();
    if (argc > 1 && std::strcmp(argv[1], DisplayProbe::kOption) == 0) {
        argv[1] = argv[0];
        return DisplayProbe::look(folder + "/libTinkraWindow.so", argc - 1, argv + 1);
    }
    // A logout or a kill from here on waits until the player can end the
    // alarm the orderly way (it lets them through once it catches them), so
    // that the mixer is never left raised. Every thread inherits this.
    sigset_t shutdown;
    sigemptyset(&shutdown);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&shutdown, s);
    pthread_sigmask(SIG_BLOCK, &shutdown, nullptr);

    AlarmPrelude prelude;
    if (!asksForNote(argc, argv)) {
        prelude.begin(folder);
        prelude.start();
        prelude.lookAtDisplay(argc, argv);
    }
    const std::string file = folder + "/libTinkraPlayer.so";
    void* player = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto run =
        player ? reinterpret_cast<TinkraPlayerMain>(::dlsym(player, kTinkraPlayerMain)) : nullptr;
    if (!run) {
        // A broken installation. Whatever the prelude changed is put back.
        std::fprintf(stderr, "Tinkra: the player cannot be loaded: %s\n", ::dlerror());
        return 1;
    }
    return run(argc, argv, &prelude);
}
