// The unit tests' view of the cluster harness: the shared cluster the test run starts, and a
// private one on ::1 that is gone once its object is.
#include "support/cluster.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

using clustertest::ClusterInfo;
using clustertest::Endpoint;

/* One inline command's reply as raw text, or "" when the node cannot be reached. */
std::string ask(const Endpoint &node, const std::string &command)
{
    bool v6 = node.host.find(':') != std::string::npos;
    int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    sockaddr_storage sa{};
    socklen_t len;
    if (v6) {
        auto *a = reinterpret_cast<sockaddr_in6 *>(&sa);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(node.port);
        inet_pton(AF_INET6, node.host.c_str(), &a->sin6_addr);
        len = sizeof *a;
    } else {
        auto *a = reinterpret_cast<sockaddr_in *>(&sa);
        a->sin_family = AF_INET;
        a->sin_port = htons(node.port);
        inet_pton(AF_INET, node.host.c_str(), &a->sin_addr);
        len = sizeof *a;
    }
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr *>(&sa), len) == 0) {
        std::string line = command + "\r\n";
        if (write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
            char buf[4096];
            ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0)
                reply.assign(buf, n);
        }
    }
    close(fd);
    return reply;
}

void expectWholeCluster(const ClusterInfo &info)
{
    ASSERT_EQ(info.seeds.size(), 6u);
    ASSERT_EQ(info.primaries.size(), 3u);
    ASSERT_EQ(info.replicas.size(), 3u);
    for (const Endpoint &node : info.seeds) {
        std::string reply = ask(node, "CLUSTER INFO");
        EXPECT_NE(reply.find("cluster_state:ok"), std::string::npos) << node.host << ":" << node.port << " " << reply;
    }
    for (size_t i = 0; i < info.replicas.size(); ++i) {
        std::string reply = ask(info.replicas[i], "INFO replication");
        EXPECT_NE(reply.find("master_port:" + std::to_string(info.primaries[i].port) + "\r"), std::string::npos)
            << reply;
    }
}

TEST(ClusterHarness, TheSharedClusterIsWhole)
{
    ClusterInfo info = clustertest::sharedCluster();
    ASSERT_FALSE(info.empty()) << "KELVO_TEST_CLUSTER_* is not set: run the tests through scripts/test";
    expectWholeCluster(info);
}

TEST(ClusterHarness, APrivateClusterOnIpv6StopsWithItsObject)
{
    ClusterInfo info;
    {
        clustertest::OwnCluster cluster(false, true);
        ASSERT_TRUE(cluster.started());
        info = cluster.info();
        EXPECT_EQ(info.seeds[0].host, "::1");
        expectWholeCluster(info);
    }
    for (const Endpoint &node : info.seeds)
        EXPECT_EQ(ask(node, "PING"), "") << node.port;
}

TEST(ClusterHarness, EndpointListsParseBothAddressForms)
{
    auto nodes = clustertest::parseEndpoints("127.0.0.1:7000 [::1]:7001  junk ");
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].host, "127.0.0.1");
    EXPECT_EQ(nodes[0].port, 7000);
    EXPECT_EQ(nodes[1].host, "::1");
    EXPECT_EQ(nodes[1].port, 7001);
}

} // namespace
