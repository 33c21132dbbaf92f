#include "platform/serial_ports.h"
#include "platform/settings_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace korvex {
namespace {

TEST(SerialPorts, ComTextIsReadLikeTheOperatorTypesIt) {
    struct Case { const char* text; std::optional<int> number; };
    const Case cases[] = {
        {"COM3", 3}, {"com4", 4}, {"  COM4", 4}, {"\tCoM12", 12}, {"COM", 0},
        {"COMx", 0}, {"COM7 (card)", 7}, {"CON4", std::nullopt}, {"4", std::nullopt},
        {"", std::nullopt}, {"X COM4", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseComText(c.text), c.number) << c.text;
}

TEST(SerialPorts, ComNumbersMapThroughKorvexIniElseToTtyS) {
    QTemporaryDir dir;
    SettingsFile ini(dir.filePath("Korvex.ini"));
    ASSERT_EQ(ini.writeText("Port", "COM5", "/dev/ttyUSB0"), 0);
    EXPECT_EQ(deviceForComNumber(5, ini), "/dev/ttyUSB0");
    EXPECT_EQ(deviceForComNumber(3, ini), "/dev/ttyS2");
    EXPECT_EQ(comNumberForDevice("/dev/ttyUSB0", ini), 5);
    EXPECT_EQ(comNumberForDevice("/dev/ttyS0", ini), 1);
    EXPECT_EQ(comNumberForDevice("/dev/pts/7", ini), 0);

    const auto typed = resolvePortText(" com5", ini);
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->device, "/dev/ttyUSB0");
    EXPECT_EQ(typed->label(), "COM5");
    const auto path = resolvePortText("/dev/pts/7", ini);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->number, 0);
    EXPECT_EQ(path->label(), "/dev/pts/7");
    EXPECT_FALSE(resolvePortText("ttyUSB0", ini));
}

TEST(SerialPorts, PseudoTerminalIsUsableAndListedAsAnExtraDevice) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    EXPECT_TRUE(isUsableSerialDevice(slave));
    EXPECT_FALSE(isUsableSerialDevice("/dev/null"));
    EXPECT_FALSE(isUsableSerialDevice("/no/such/device"));
    const QStringList listed = enumerateSerialDevices({slave, "/no/such/link"});
    EXPECT_TRUE(listed.contains(slave));
    EXPECT_FALSE(listed.contains("/no/such/link"));
    EXPECT_EQ(listed.count(slave), 1);
    ::close(master);
}

}  // namespace
}  // namespace korvex
