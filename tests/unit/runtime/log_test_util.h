// Helpers shared by the logging tests: a temporary log file and a forked child.
#ifndef KELVO_LOG_TEST_UTIL_H
#define KELVO_LOG_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "runtime/log.h"

/* Each test starts with logging off, no hooks, and a fresh path for its log. */
class LogFileTest : public ::testing::Test {
  protected:
    std::string path;

    void SetUp() override
    {
        kelvoLogTeardown();
        kelvoLogHook = {nullptr, nullptr};
        char name[] = "/tmp/kelvo-log-XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        unlink(name); /* the logger creates it */
        path = name;
    }
    void TearDown() override
    {
        kelvoLogTeardown();
        kelvoLogHook = {nullptr, nullptr};
        unlink(path.c_str());
    }

    std::string contents() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(contents());
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

/* Runs body in a forked child that then exits 0; returns the wait status. */
template <typename Body>
int runInChild(Body body)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

#endif
