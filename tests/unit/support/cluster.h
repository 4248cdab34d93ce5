// Redis Cluster for unit tests: the harness's shared cluster (from KELVO_TEST_CLUSTER_*, for tests
// that change nothing but keys of their own) and private ones started through
// tests/harness/cluster (for tests that reshard, fail over or kill nodes). A private cluster is
// held by a shell that stops it when the object goes or when the test process dies: it waits on
// a pipe that only this process writes.
#ifndef KELVO_TEST_SUPPORT_CLUSTER_H
#define KELVO_TEST_SUPPORT_CLUSTER_H

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace clustertest {

struct Endpoint {
    std::string host; /* 127.0.0.1 or ::1, without brackets */
    int port = 0;
};

/* A cluster as the harness describes it: every node, primaries first. */
struct ClusterInfo {
    std::string dir;
    std::vector<Endpoint> seeds, primaries, replicas; /* the Nth replica replicates the Nth primary */
    bool tls = false;
    std::string ca, cert, key; /* with TLS: the CA and a client certificate and key */

    bool empty() const { return seeds.empty(); }
};

/* "host:port" or "[::1]:port" items separated by spaces. */
inline std::vector<Endpoint> parseEndpoints(const std::string &text)
{
    std::vector<Endpoint> out;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        size_t colon = word.rfind(':');
        if (colon == std::string::npos)
            continue;
        std::string host = word.substr(0, colon);
        if (host.size() > 1 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        out.push_back({host, atoi(word.c_str() + colon + 1)});
    }
    return out;
}

inline ClusterInfo clusterFromVariables(const std::map<std::string, std::string> &vars)
{
    auto get = [&](const char *name) {
        auto it = vars.find(std::string("KELVO_TEST_CLUSTER_") + name);
        return it == vars.end() ? std::string() : it->second;
    };
    ClusterInfo info;
    info.dir = get("DIR");
    info.seeds = parseEndpoints(get("SEEDS"));
    info.primaries = parseEndpoints(get("PRIMARIES"));
    info.replicas = parseEndpoints(get("REPLICAS"));
    info.tls = get("TLS") == "1";
    info.ca = get("TLS_CA");
    info.cert = get("TLS_CERT");
    info.key = get("TLS_KEY");
    return info;
}

/* The shared cluster from the environment; empty when the suite was not started by scripts/test. */
inline ClusterInfo sharedCluster()
{
    std::map<std::string, std::string> vars;
    for (const char *name : {"DIR", "SEEDS", "PRIMARIES", "REPLICAS", "TLS", "TLS_CA", "TLS_CERT", "TLS_KEY"}) {
        std::string full = std::string("KELVO_TEST_CLUSTER_") + name;
        if (const char *value = getenv(full.c_str()))
            vars[full] = value;
    }
    return clusterFromVariables(vars);
}

/* The variables of a harness env file (export NAME=value lines, values maybe quoted). */
inline std::map<std::string, std::string> readEnvFile(const std::string &path)
{
    std::map<std::string, std::string> vars;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 7, "export ") != 0)
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        vars[line.substr(7, eq - 7)] = value;
    }
    return vars;
}

/* A private cluster of six nodes; check started() before use. */
class OwnCluster {
  public:
    explicit OwnCluster(bool tls = false, bool ipv6 = false)
    {
        char pattern[] = "/tmp/kelvo-cluster-XXXXXX";
        if (!mkdtemp(pattern))
            return;
        dir_ = pattern;
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            return;
        std::string harness = KELVO_SOURCE_DIR "/tests/harness/cluster";
        std::vector<std::string> argv = {
            "sh", "-c",
            "\"$0\" start \"$@\" >&2 || { rm -rf \"$1\"; exit 1; }; echo up; read -r line; \"$0\" stop \"$1\"; rm -rf \"$1\"",
            harness, dir_};
        if (tls)
            argv.push_back("--tls");
        if (ipv6)
            argv.push_back("--ipv6");
        keeper_ = fork();
        if (keeper_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            for (int fd : {in[0], in[1], out[0], out[1]})
                close(fd);
            std::vector<char *> args;
            for (std::string &a : argv)
                args.push_back(a.data());
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        lifeline_ = in[1];
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        close(out[0]);
        if (line == "up")
            info_ = clusterFromVariables(readEnvFile(dir_ + "/env"));
    }
    OwnCluster(const OwnCluster &) = delete;
    OwnCluster &operator=(const OwnCluster &) = delete;

    ~OwnCluster()
    {
        if (keeper_ <= 0)
            return;
        /* A line, not just the close: a forked child may still hold a copy of the pipe. */
        if (write(lifeline_, "stop\n", 5) < 0) {
        }
        close(lifeline_);
        waitpid(keeper_, nullptr, 0);
    }

    bool started() const { return !info_.empty(); }
    const ClusterInfo &info() const { return info_; }

  private:
    std::string dir_;
    pid_t keeper_ = -1;
    int lifeline_ = -1;
    ClusterInfo info_;
};

} // namespace clustertest

#endif
