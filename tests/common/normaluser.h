#pragma once

// Work done by a user without privileges, in a child process: the user nobody when the tests
// run as the superuser (as in CI), the tests' own user otherwise.

#include <QByteArray>

#include <csignal>
#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace normaluser {

constexpr uid_t nobody = 65534;

/// The user the child runs as.
inline uid_t id()
{
    return geteuid() == 0 ? nobody : geteuid();
}

struct Child
{
    pid_t pid = -1;
    int output = -1;
};

/// Starts work in a child process as the normal user; what work returns comes back by finish().
inline Child start(const std::function<QByteArray()> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const bool dropped = geteuid() != 0 || (setgroups(0, nullptr) == 0 &&
                                                setresgid(nobody, nobody, nobody) == 0 &&
                                                setresuid(nobody, nobody, nobody) == 0);
        const QByteArray result = dropped ? work() : QByteArray("cannot become a normal user");
        const ssize_t written = write(fds[1], result.constData(), std::size_t(result.size()));
        _exit(written == result.size() ? 0 : 1);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

/// What the child's work returned; with kill, the child is ended first and returns nothing.
inline QByteArray finish(const Child &child, bool kill = false)
{
    if (kill)
        ::kill(child.pid, SIGKILL);
    QByteArray result;
    char buffer[4096];
    for (ssize_t n; (n = read(child.output, buffer, sizeof buffer)) > 0;)
        result.append(buffer, n);
    close(child.output);
    waitpid(child.pid, nullptr, 0);
    return result;
}

inline QByteArray run(const std::function<QByteArray()> &work)
{
    return finish(start(work));
}

} // namespace normaluser
