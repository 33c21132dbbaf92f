// kvfleet's settings: [Fleet] of Korvex.ini as the controller writes it, the command line over
// it key by key, and lines that cannot work refused with a message.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "fleet/viewer/fleet_options.h"

namespace korvex::fleet {
namespace {

struct KvfleetOptions : ::testing::Test {
    QTemporaryDir dir;
    QString ini;

    void SetUp() override { ini = dir.filePath(QStringLiteral("Korvex.ini")); }
    void writeSettings(const char* text) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    ViewerOptions parse(QStringList arguments) {
        arguments.prepend(QStringLiteral("kvfleet"));
        return parseViewerOptions(arguments, ini);
    }
};

TEST_F(KvfleetOptions, SettingsGiveTheBrokerAndTheLineOverridesThem) {
    writeSettings("[Fleet]\nBroker=broker.shop\nTls=1\nCaFile=/etc/ca.crt\nUser=super\n"
                  "PasswordFile=/etc/pw\nTopic=hall2\n");
    ViewerOptions o = parse({});
    ASSERT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    ASSERT_TRUE(o.broker);
    EXPECT_EQ(*o.broker, (BrokerAddress{"broker.shop", 8883, true}));  // TLS port when Port is left out
    EXPECT_EQ(o.caFile, "/etc/ca.crt");
    EXPECT_EQ(o.user, "super");
    EXPECT_EQ(o.passwordFile, "/etc/pw");
    EXPECT_EQ(o.topicPrefix, "hall2");
    EXPECT_FALSE(o.once);

    o = parse({"--broker", "mqtt://10.0.0.5:1999", "--topic", "hall3", "--user", "night", "--lang", "zh",
               "--once", "--json"});
    ASSERT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(*o.broker, (BrokerAddress{"10.0.0.5", 1999, false}));
    EXPECT_EQ(o.topicPrefix, "hall3");
    EXPECT_EQ(o.user, "night");
    EXPECT_EQ(o.passwordFile, "/etc/pw");  // untouched by the line
    EXPECT_EQ(o.language, Language::Chinese);
    EXPECT_TRUE(o.once);
}

TEST_F(KvfleetOptions, NoSettingsMeanNoBrokerAndTheDefaultPrefix) {
    const ViewerOptions o = parse({});
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_FALSE(o.broker);
    EXPECT_EQ(o.topicPrefix, "korvex");
    writeSettings("[Fleet]\nBroker=plain\nPort=99999\n");  // a port out of range falls back
    EXPECT_EQ(parse({}).broker->port, 1883);
}

TEST_F(KvfleetOptions, LinesThatCannotWorkAreRefusedWithAMessage) {
    const QStringList bad[] = {
        {"--broker", "http://host"},
        {"--broker", "mqtt://host:0"},
        {"--topic", "shop/#"},
        {"--topic", "/shop"},
        {"--lang", "fr"},
        {"--once"},
        {"--json"},
        {"--frobnicate"},
        {"stray"},
    };
    for (const QStringList& arguments : bad)
        EXPECT_FALSE(parse(arguments).error.isEmpty()) << arguments.join(' ').toStdString();
    writeSettings("[Fleet]\nTopic=a/+/b\n");
    EXPECT_FALSE(parse({}).error.isEmpty());
}

}  // namespace
}  // namespace korvex::fleet
