#include <gtest/gtest.h>

#include "sync/ServerAddress.h"

namespace {

struct AddressCase {
    const char* name;
    const char* url;
    const char* refusalHas; // null when the address may be used
};

class ServerAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddressTest, RefusesWhatWouldCrossANetworkUnprotected) {
    const QString refusal = ServerAddress::Refusal(QString::fromUtf8(GetParam().url));
    if (GetParam().refusalHas == nullptr) {
        EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
    } else {
        EXPECT_TRUE(refusal.contains(QString::fromUtf8(GetParam().refusalHas)))
            << refusal.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, ServerAddressTest,
    ::testing::Values(
        AddressCase{"HttpsRemote", "https://dav.example.org/cal/", nullptr},
        AddressCase{"HttpsUpperCaseScheme", "HTTPS://dav.example.org", nullptr},
        AddressCase{"HttpLocalhost", "http://localhost:5232/", nullptr},
        AddressCase{"HttpLocalhostUpperCase", "http://LocalHost:5232/", nullptr},
        AddressCase{"HttpLoopbackV4", "http://127.0.0.1:5232/", nullptr},
        AddressCase{"HttpLoopbackV4Range", "http://127.3.2.1/", nullptr},
        AddressCase{"HttpLoopbackV6", "http://[::1]:5232/", nullptr},
        AddressCase{"HttpSpacesAround", "  http://127.0.0.1:5232/ ", nullptr},
        AddressCase{"HttpRemote", "http://dav.example.org/", "dav.example.org needs https://"},
        AddressCase{"HttpLanAddress", "http://192.168.1.5:5232/",
                    "only for a server on this computer"},
        AddressCase{"HttpLookalikeHost", "http://localhost.example.org/", "Plain http"},
        AddressCase{"HttpLoopbackPrefixOnly", "http://128.0.0.1/", "Plain http"},
        AddressCase{"Empty", "", "Enter the calendar server's address"},
        AddressCase{"Blank", "   ", "Enter the calendar server's address"},
        AddressCase{"NoScheme", "dav.example.org", "is not a web address"},
        AddressCase{"OtherScheme", "ftp://dav.example.org/", "is not a web address"},
        AddressCase{"NoHost", "https:///cal/", "is not a web address"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
