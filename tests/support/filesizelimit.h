#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs work in a child process whose files cannot grow beyond limit bytes: a write past it
// fails with EFBIG, as on a full disk, instead of raising SIGXFSZ. What work returns comes back
// through a pipe; nothing when the child did not finish normally.
inline std::optional<QByteArray> WithFileSizeLimit(rlim_t limit,
                                                   const std::function<QByteArray()>& work) {
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{};
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = limit;
        int status = setrlimit(RLIMIT_FSIZE, &rl) == 0 ? 0 : 2;
        if (status == 0) {
            const QByteArray answer = work();
            for (qsizetype done = 0; done < answer.size();) {
                const ssize_t n = write(fds[1], answer.constData() + done,
                                        static_cast<size_t>(answer.size() - done));
                if (n <= 0) {
                    status = 3;
                    break;
                }
                done += n;
            }
        }
        close(fds[1]);
        // No exit handlers: the parent's Qt objects are the parent's to tear down.
        _exit(status);
    }
    close(fds[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        answer.append(buffer, n);
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}
