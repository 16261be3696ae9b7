#pragma once

// Runs a check in a forked child, for limits that must not touch the test process itself, or
// in one that has dropped root's privileges (user and group 65534), for
// the unreadable-file and unwritable-directory cases that root never meets. The child writes
// what went wrong into a pipe; an empty answer means every check held. `prepare` runs in the
// child before the privileges are dropped: a store built there has its writer thread in the
// child (a forked child has no other thread), and glibc drops that thread's privileges too.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace logo_files {

inline std::string RunInChild(const std::function<std::string()>& check, bool dropPrivileges,
                              const std::function<void()>& prepare = {}) {
    int channel[2];
    if (pipe(channel) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        close(channel[0]);
        std::string answer;
        if (prepare) prepare();
        if (dropPrivileges && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 ||
                               setuid(65534) != 0 || geteuid() == 0)) {
            answer = "could not drop privileges";
        } else {
            try {
                answer = check();
            } catch (const std::exception& error) {
                answer = std::string("exception: ") + error.what();
            }
        }
        if (!answer.empty()) {
            [[maybe_unused]] const ssize_t written =
                write(channel[1], answer.data(), answer.size());
        }
        close(channel[1]);
        _exit(answer.empty() ? 0 : 1);
    }
    close(channel[1]);
    std::string answer;
    char buffer[256];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, size_t(count));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status)) return "child did not exit normally: " + answer;
    if (WEXITSTATUS(status) != 0 && answer.empty()) return "child failed without an answer";
    return answer;
}

}  // namespace logo_files

namespace logo_files {

inline std::string RunAsNobody(const std::function<std::string()>& check,
                               const std::function<void()>& prepare = {}) {
    return RunInChild(check, true, prepare);
}

}  // namespace logo_files
