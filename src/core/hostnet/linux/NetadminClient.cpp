#include "core/hostnet/linux/NetadminClient.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/hostnet/NetadminRequest.h"

#ifndef ORVANTA_LIBEXECDIR
#define ORVANTA_LIBEXECDIR "/usr/libexec"
#endif

namespace orvanta::hostnet {

namespace {

bool InGroup(gid_t gid) {
    if (getegid() == gid) return true;
    const int n = getgroups(0, nullptr);
    if (n <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    const int got = getgroups(n, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[std::size_t(i)] == gid) return true;
    return false;
}

// Why the helper cannot be run, in one line. When the package limits it to a
// group the user is not in, the line says how to join: that is the one thing
// the user (or an administrator) can do about it.
std::string CannotRun(const std::string& path, int error) {
    std::string text = "cannot run " + path + ": " + std::strerror(error);
    struct stat st;
    if (error != EACCES || stat(path.c_str(), &st) != 0 || !(st.st_mode & S_IXGRP) || (st.st_mode & S_IXOTH) ||
        InGroup(st.st_gid))
        return text;
    const group* gr = getgrgid(st.st_gid);
    const passwd* pw = getpwuid(getuid());
    const std::string groupName = gr ? gr->gr_name : std::to_string(st.st_gid);
    const std::string user = pw ? pw->pw_name : "USER";
    return text + " (only members of the group " + groupName + " may; an administrator adds you with: adduser " +
           user + " " + groupName + ", then log in again)";
}

}  // namespace

NetadminClient::NetadminClient(std::string helperPath, std::string ifname)
    : helperPath_(std::move(helperPath)), ifname_(std::move(ifname)) {}

NetadminClient::~NetadminClient() { Stop(); }

std::string NetadminClient::DefaultHelperPath() {
    if (const char* env = std::getenv("ORVANTA_NETADMIN"); env && *env) return env;
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return ORVANTA_LIBEXECDIR "/orvanta/orvanta-netadmin";
    const std::string path(exe, std::size_t(n));
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    // Beside the program in a build tree; in libexec/orvanta/ of the same
    // prefix when installed; else where this build was meant to go.
    for (const std::string& candidate :
         {folder + "orvanta-netadmin", folder + "../libexec/orvanta/orvanta-netadmin"}) {
        if (access(candidate.c_str(), F_OK) == 0) return candidate;
    }
    return ORVANTA_LIBEXECDIR "/orvanta/orvanta-netadmin";
}

bool NetadminClient::Start(NetadminReply& failure) {
    if (fd_ >= 0) return true;
    failure.kind = NetadminReplyKind::Error;
    failure.failure = AliasStatus::HelperMissing;
    if (access(helperPath_.c_str(), X_OK) != 0) {
        failure.text = CannotRun(helperPath_, errno);
        return false;
    }
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        failure.text = std::string("socketpair: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
    std::string path = helperPath_, name = ifname_;
    char* argv[] = {path.data(), name.data(), nullptr};
    // An empty environment: ours may hold ORVANTA_PASSWORD or other
    // secrets, and a program with capabilities has no use for any of it.
    char* noEnvironment[] = {nullptr};
    pid_t pid;
    const int e = posix_spawn(&pid, helperPath_.c_str(), &actions, nullptr, argv, noEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    close(sv[1]);
    if (e != 0) {
        close(sv[0]);
        failure.text = CannotRun(helperPath_, e);
        return false;
    }
    fd_ = sv[0];
    pid_ = pid;
    pending_.clear();
    return true;
}

void NetadminClient::Stop() {
    if (fd_ >= 0) {
        close(fd_);  // the helper sees end of input and leaves
        fd_ = -1;
    }
    if (pid_ > 0) {
        // It may be in the middle of a bounded ARP wait; give it that long.
        for (int i = 0; i < 60; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) != 0) {
                pid_ = -1;
                return;
            }
            usleep(100 * 1000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

NetadminReply NetadminClient::Call(const std::string& request, int timeoutMs) {
    NetadminReply answer;
    if (!Start(answer)) return answer;
    answer.kind = NetadminReplyKind::Error;
    const std::string line = request + "\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
        // MSG_NOSIGNAL: a helper that died must give an error, not SIGPIPE.
        const ssize_t n = send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            answer.failure = AliasStatus::HelperMissing;
            answer.text = "orvanta-netadmin ended unexpectedly";
            Stop();
            return answer;
        }
        sent += std::size_t(n);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto nl = pending_.find('\n');
        if (nl != std::string::npos) {
            const std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return ParseNetadminReply(line);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd p{fd_, POLLIN, 0};
        const int ready = left > 0 ? poll(&p, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR) continue;
        char buf[512];
        const ssize_t n = ready > 0 ? recv(fd_, buf, sizeof buf, 0) : -1;
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            // Out of step with the helper now: start a fresh one next time.
            answer.failure = ready == 0 ? AliasStatus::Other : AliasStatus::HelperMissing;
            answer.text = ready == 0 ? "orvanta-netadmin did not answer" : "orvanta-netadmin ended unexpectedly";
            Stop();
            return answer;
        }
        pending_.append(buf, std::size_t(n));
    }
}

}  // namespace orvanta::hostnet
