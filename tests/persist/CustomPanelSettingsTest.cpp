#include "persist/CustomPanelSettings.h"

#include <gtest/gtest.h>

namespace sylvaro::persist {
namespace {

TEST(CustomPanelSettings, WritesItsTwelveFieldsInTheFilesOrderAndReadsThemBack) {
    CustomPanelSettings s;
    s.enabled = {1, 0};
    s.backgroundLabels = {QStringLiteral("Roof"), QStringLiteral("Café")};
    s.frequency = {0, 20, 1960, 2000};
    s.randomLabels = {QStringLiteral("Owl"), QString(), QStringLiteral("Not Set"),
                      QStringLiteral("a, b")};
    const QByteArray line = s.toLine();
    EXPECT_EQ(line, QByteArray("1,0,\"Roof\",\"Caf\xE9\",0,20,1960,2000,\"Owl\",\"\",\"Not Set\","
                               "\"a, b\"\r\n"));
    EXPECT_EQ(CustomPanelSettings::fromLine(line), s);
}

TEST(CustomPanelSettings, ALineThatIsNotTheTwelveFieldsInRangeIsRefusedWhole) {
    const char* bad[] = {
        "",
        "1,0,\"a\",\"b\",0,0,0,0,\"c\",\"d\",\"e\"",             // eleven
        "2,0,\"a\",\"b\",0,0,0,0,\"c\",\"d\",\"e\",\"f\"",       // box 2
        "1,0,\"a\",\"b\",0,0,0,2001,\"c\",\"d\",\"e\",\"f\"",    // slider past off
        "1,0,\"a\",\"b\",-20,0,0,0,\"c\",\"d\",\"e\",\"f\"",     // below often
        "1,x,\"a\",\"b\",0,0,0,0,\"c\",\"d\",\"e\",\"f\"",       // not a number
        "1,0,\"a\",\"b\",0,0,0,0,\"c\",\"d\",\"e\",\"f\",\"g\"", // thirteen
    };
    for (const char* line : bad) {
        EXPECT_EQ(CustomPanelSettings::fromLine(QByteArray(line)), std::nullopt) << line;
    }
}

} // namespace
} // namespace sylvaro::persist
