#include "core/hostnet/PppPeers.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace orvanta::hostnet {

namespace {

// pppd's word splitting: blanks separate words, a word may be quoted with
// "..." or '...', and # starts a comment outside quotes.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        if (line[i] == '"' || line[i] == '\'') {
            const char quote = line[i++];
            while (i < line.size() && line[i] != quote) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                word += line[i++];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

bool FirstPeerFile(const std::string& dir, std::string& path) {
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        // Editor leftovers are not phonebook entries.
        if (name.back() == '~' || name.ends_with(".bak") || name.ends_with(".dpkg-old")) continue;
        struct stat st;
        if (stat((dir + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    closedir(d);
    if (names.empty()) return false;
    std::sort(names.begin(), names.end());
    path = dir + "/" + names.front();
    return true;
}

// The secret for `user`: the third word of the first line whose client (first
// word) is the user. A file that cannot be read simply has no secret.
bool FindSecret(const std::string& file, const std::string& user, std::string& secret) {
    std::ifstream in(file);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        const auto words = Words(line);
        if (words.size() >= 3 && words[0] == user) {
            secret = words[2];
            return true;
        }
    }
    return false;
}

}  // namespace

DialUpAccount ReadFirstPppAccount(const PppPaths& paths) {
    DialUpAccount account;
    std::string peer;
    if (!FirstPeerFile(paths.peersDir, peer)) return account;
    std::ifstream in(peer);
    if (!in) return account;
    std::string line;
    while (std::getline(in, line)) {
        const auto words = Words(line);
        for (std::size_t i = 0; i + 1 < words.size(); ++i)
            if (words[i] == "user") account.user = words[i + 1];
    }
    // A peer without a user option is still the first entry; its account is
    // simply empty, as a phonebook entry without a name would be.
    account.found = true;
    if (account.user.empty()) return account;
    std::string secret;
    if (FindSecret(paths.papSecrets, account.user, secret) || FindSecret(paths.chapSecrets, account.user, secret)) {
        account.passwordKnown = true;
        account.password = secret;
    }
    return account;
}

}  // namespace orvanta::hostnet
