#include "taskdetails.h"

#include <gtest/gtest.h>

TEST(TaskDetails, LengthAsMinutesAndSeconds)
{
    const struct
    {
        const char* length;
        const char* minutes;
        const char* seconds;
    } cases[] = {
        {"7", "0", "07"},          {"60", "1", "00"},        {"125", "2", "05"},
        {"59", "0", "59"},         {"0", "0", "00"},         {"10", "0", "10"},
        {"3600", "60", "00"},      {"", "0", "0"},           {"25 seconds", "0", "25"},
        {"61 seconds", "1", "01"}, {"9 seconds", "0", "09"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        Mp3Info info;
        info.length = c.length;
        info.size = "72128 bytes";
        const TaskDetails d = TaskDetails::from(info);
        EXPECT_EQ(d.minutes, c.minutes);
        EXPECT_EQ(d.seconds, c.seconds);
        EXPECT_EQ(d.length, c.length);
        EXPECT_EQ(d.size, " 72128 bytes");
    }
}
