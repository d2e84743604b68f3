// Run by location_e2e.py inside a namespace where iplocation.example is a
// local nginx; each suite is one arrangement of that server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "location_lookup.h"

namespace dnsbatch {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> split(const std::string &line, char separator)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, separator);)
        fields.push_back(field);
    return fields;
}

std::vector<std::vector<std::string>> loggedLines()
{
    const char *path = std::getenv("DNSBATCH_E2E_ACCESS_LOG");
    std::ifstream in(path ? path : "");
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(split(line, '\t'));
    return lines;
}

// The fields nginx logged for the requests that asked for address
// (request line, protocol, User-Agent, Accept, Referer, Cookie, connection,
// requests on that connection, status). nginx writes a line when it has
// finished a request, which may be just after the client has its reply:
// wait a little for it.
std::vector<std::string> loggedFor(const std::string &address)
{
    const std::string query = "query=" + address + "&";
    for (int i = 0; i < 200; ++i) {
        for (const auto &line : loggedLines())
            if (!line.empty() && line[0].find(query) != std::string::npos)
                return line;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

std::string fromHex(const char *text)
{
    std::string bytes;
    for (const char *p = text; p && p[0] && p[1]; p += 2)
        bytes.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
    return bytes;
}

TEST(LocationServed, RequestIsTheOneTheServiceExpects)
{
    EXPECT_EQ(lookupLocation("192.0.2.1"), "LOC-192.0.2.1");
    const std::vector<std::vector<std::string>> logged = {loggedFor("192.0.2.1")};
    ASSERT_EQ(logged[0].size(), 9u);
    const std::string target = locationUrl("192.0.2.1").substr(std::string("https://iplocation.example").size());
    EXPECT_EQ(logged[0][0], "GET " + target + " HTTP/1.0");
    EXPECT_EQ(logged[0][1], "HTTP/1.0");
    EXPECT_EQ(logged[0][2], "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(logged[0][3], "*/*");
    EXPECT_EQ(logged[0][4], "-");  // no Referer
    EXPECT_EQ(logged[0][5], "-");  // no Cookie
    EXPECT_EQ(logged[0][8], "200");
}

TEST(LocationServed, OneConnectionServesMany)
{
    for (const char *address : {"192.0.2.11", "192.0.2.12", "192.0.2.13"})
        EXPECT_EQ(lookupLocation(address), std::string("LOC-") + address);
    const std::vector<std::vector<std::string>> logged = {loggedFor("192.0.2.11"), loggedFor("192.0.2.12"),
                                                          loggedFor("192.0.2.13")};
    ASSERT_EQ(logged[0].size(), 9u);
    ASSERT_EQ(logged[2].size(), 9u);
    EXPECT_EQ(logged[0][6], logged[2][6]);  // same connection serial number
    EXPECT_LT(std::stoi(logged[0][7]), std::stoi(logged[2][7]));
}

TEST(LocationServed, RedirectIsFollowed)
{
    EXPECT_EQ(lookupLocation("192.0.2.2"), "REDIRECTED");
}

TEST(LocationServed, ErrorStatusBodyIsSearched)
{
    EXPECT_EQ(lookupLocation("192.0.2.3"), "ERROR-PAGE");
    const std::vector<std::string> logged = loggedFor("192.0.2.3");
    ASSERT_EQ(logged.size(), 9u);
    EXPECT_EQ(logged[8], "503");
}

TEST(LocationServed, BodyCutOffAfterTheMarkersStillGivesTheLocation)
{
    EXPECT_EQ(lookupLocation("192.0.2.4"), "CUT");
    EXPECT_EQ(lookupLocation("192.0.2.1"), "LOC-192.0.2.1");  // and the next lookup reconnects
}

TEST(LocationServed, GbkBytesComeBackUnchanged)
{
    const std::string expected = fromHex(std::getenv("DNSBATCH_E2E_GBK_LOCATION"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(lookupLocation("192.0.2.5"), expected);
}

TEST(LocationServed, EndlessBodyIsCutAndSearched)
{
    EXPECT_EQ(lookupLocation("192.0.2.6"), "ENDLESS");
}

TEST(LocationUntrusted, CertificateFromAnUnknownCaGivesNothing)
{
    EXPECT_EQ(lookupLocation("192.0.2.1"), "");
}

TEST(LocationWrongName, CertificateForAnotherNameGivesNothing)
{
    EXPECT_EQ(lookupLocation("192.0.2.1"), "");
}

TEST(LocationNothingListening, RefusedAtOnce)
{
    const auto start = Clock::now();
    EXPECT_EQ(lookupLocation("192.0.2.1"), "");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

TEST(LocationServed, RedirectLoopEndsEmpty)
{
    const auto start = Clock::now();
    EXPECT_EQ(lookupLocation("192.0.2.8"), "");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST(LocationServed, SlowServiceWithinTheTimeoutStillAnswers)
{
    EXPECT_EQ(lookupLocation("192.0.2.9"), "SLOW");
}

TEST(LocationServed, ServerThatNeverAnswersGivesUpAtTheOverallTimeout)
{
    const auto start = Clock::now();
    EXPECT_EQ(lookupLocation("192.0.2.7"), "");
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(3500));  // the 4 s overall time-out, not an early failure
    EXPECT_LT(waited, std::chrono::seconds(8));

    // Right after a time-out the service is given a rest: no second wait.
    const auto again = Clock::now();
    EXPECT_EQ(lookupLocation("192.0.2.1"), "");
    EXPECT_LT(Clock::now() - again, std::chrono::milliseconds(500));
}

TEST(LocationSilentServer, HandshakeNeverAnsweredGivesUpAtTheConnectTimeout)
{
    const auto start = Clock::now();
    EXPECT_EQ(lookupLocation("192.0.2.1"), "");
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1500));  // the 2 s connect time-out covers the TLS handshake
    EXPECT_LT(waited, std::chrono::seconds(6));
}

}  // namespace
}  // namespace dnsbatch
