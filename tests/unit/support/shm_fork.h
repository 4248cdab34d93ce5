// Forked helper processes for the shared-memory tests. A child reports
// through its exit status: 0 when its checks held.
#ifndef KELVO_TEST_SHM_FORK_H
#define KELVO_TEST_SHM_FORK_H

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

template <typename F>
pid_t forkChild(F body)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(body() ? 0 : 1);
    return pid;
}

// Exit status of a child (128 + signal when it was killed).
inline int waitChild(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

template <typename F>
std::vector<int> runChildren(int count, F body)
{
    std::vector<pid_t> pids;
    for (int i = 0; i < count; i++)
        pids.push_back(forkChild([&] { return body(i); }));
    std::vector<int> results;
    for (pid_t pid : pids)
        results.push_back(waitChild(pid));
    return results;
}

#endif
