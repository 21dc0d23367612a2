#include "PasswordInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/base/OutputText.h"

namespace orvanta::cli {

namespace {

// The terminal's settings before echo went off. Written before the flag is
// raised; read by a signal handler and the watchdog thread, so plain data
// behind a lock-free flag.
termios g_savedTerminal{};
std::atomic<bool> g_echoOff{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnSignalWhileEchoOff(int sig) {
    RestoreTerminalEcho();
    // SA_RESETHAND made the default action current: it runs once the
    // handler returns, as if the handler had never been there.
    std::raise(sig);
}

// Echo off for as long as it lives, when standard input is a terminal.
// Ctrl-C, a hang-up or a termination while the password is typed puts
// the echo back before the process ends.
class EchoOff {
public:
    EchoOff() {
        if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) return;
        struct sigaction sa {};
        sa.sa_handler = OnSignalWhileEchoOff;
        sa.sa_flags = SA_RESETHAND;
        sigemptyset(&sa.sa_mask);
        for (std::size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &sa, &previous_[i]);
        termios quiet = g_savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK);
        quiet.c_lflag |= ECHONL;  // Enter still moves to the next line
        g_echoOff = true;
        // TCSANOW: what was typed ahead stays (and was echoed already).
        if (tcsetattr(STDIN_FILENO, TCSANOW, &quiet) != 0) g_echoOff = false;
        active_ = true;
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
    }
    ~EchoOff() {
        if (!active_) return;
        RestoreTerminalEcho();
        for (std::size_t i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    static constexpr std::size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];
    struct sigaction previous_[kSignalCount] {};
    bool active_ = false;
};

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// One line of standard input, no further than its line end: the rest stays
// for whoever reads on. Refused past kMaxPasswordBytes.
bool ReadStdinLine(std::string& line, std::string& why) {
    const EchoOff quiet;
    line.clear();
    for (;;) {
        char c = 0;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::string("cannot read the password from standard input: ") + std::strerror(errno);
            return false;
        }
        if (n == 0 || c == '\n') break;
        if (line.size() == kMaxPasswordBytes) {
            why = "standard input holds no line end within its first 4 KiB; a password is one line";
            return false;
        }
        line += c;
    }
    line = FirstLine(line);
    return true;
}

}  // namespace

bool ReadPasswordFile(const char* command, const std::string& path, std::string& password, std::string& why) {
    const std::string shown = output::TerminalSafe(path);
    // Non-blocking, so that a FIFO in its place cannot hold the open.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        why = "cannot read " + shown + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    std::string content;
    bool ok = fstat(fd, &st) == 0;
    if (!ok) {
        why = "cannot read " + shown + ": " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = shown + " is not a regular file (give a file, or - for standard input)";
        ok = false;
    } else if (static_cast<std::size_t>(st.st_size) > kMaxPasswordBytes) {
        why = shown + " holds more than 4 KiB; a password file holds the password on its first line";
        ok = false;
    } else {
        char buffer[kMaxPasswordBytes + 1];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer - content.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = "cannot read " + shown + ": " + std::strerror(errno);
                ok = false;
                break;
            }
            if (n == 0) break;
            content.append(buffer, static_cast<std::size_t>(n));
            if (content.size() > kMaxPasswordBytes) {
                why = shown + " holds more than 4 KiB; a password file holds the password on its first line";
                ok = false;
                break;
            }
        }
    }
    close(fd);
    if (!ok) return false;
    if ((st.st_mode & (S_IRGRP | S_IROTH)) != 0)
        std::fprintf(stderr, "orvanta-cli %s: warning: other users can read %s (chmod go-r %s)\n", command,
                     shown.c_str(), shown.c_str());
    password = FirstLine(content);
    return true;
}


void RestoreTerminalEcho() {
    if (g_echoOff.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
}

bool ReadPassword(const char* command, const ParsedArgs& args, std::string& password, bool& have, std::string& why) {
    have = false;
    const int sources = static_cast<int>(args.values.count("--password")) +
                        static_cast<int>(args.values.count("--password-file"));
    if (sources > 1) {
        why = "give the password one way: --password or --password-file";
        return false;
    }
    if (args.values.count("--password-file")) {
        const std::string path = args.Get("--password-file");
        if (path == "-" ? !ReadStdinLine(password, why) : !ReadPasswordFile(command, path, password, why))
            return false;
    } else if (args.values.count("--password")) {
        password = args.Get("--password");
        if (password == "-" && !ReadStdinLine(password, why)) return false;
    } else if (const char* env = std::getenv("ORVANTA_PASSWORD")) {
        password = env;
    } else {
        return true;
    }
    have = true;
    return true;
}

}  // namespace orvanta::cli
