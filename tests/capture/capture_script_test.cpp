#include "tools/capture/capture_script.h"

#include <gtest/gtest.h>

TEST(CaptureScript, ParsesEveryEventSortedByFrameKeepingFileOrder) {
    ScriptParseResult r = parseCaptureScript("# warm up\n"
                                             "10 keydown 80   # P\n"
                                             "\n"
                                             "3 mousemove 400 200\n"
                                             "10 keyup 80\n"
                                             "3 resize 640 0\n"
                                             "12 close\n");
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.events.size(), 5u);
    EXPECT_EQ(r.events[0].frame, 3);
    EXPECT_EQ(r.events[0].kind, ScriptEventKind::MouseMove);
    EXPECT_EQ(r.events[0].a, 400);
    EXPECT_EQ(r.events[0].b, 200);
    EXPECT_EQ(r.events[1].kind, ScriptEventKind::Resize);
    EXPECT_EQ(r.events[1].b, 0);
    EXPECT_EQ(r.events[2].kind, ScriptEventKind::KeyDown);
    EXPECT_EQ(r.events[3].kind, ScriptEventKind::KeyUp);
    EXPECT_EQ(r.events[4].kind, ScriptEventKind::Close);
}

TEST(CaptureScript, RejectsBadLinesNamingTheLine) {
    EXPECT_EQ(parseCaptureScript("1 keydown 256\n").error,
              "1: \"256\" is not a whole number from 0 to 255");
    EXPECT_EQ(parseCaptureScript("\n0 close\n").error,
              "2: frame number must be a whole number from 1, not \"0\"");
    EXPECT_EQ(parseCaptureScript("5 jump\n").error,
              "1: unknown event \"jump\" (keydown, keyup, mousemove, resize or close)");
    EXPECT_EQ(parseCaptureScript("5 resize 10\n").error, "1: \"resize\" takes 2 number(s)");
    EXPECT_EQ(parseCaptureScript("5 mousemove -1 3\n").error,
              "1: \"-1\" is not a whole number from 0 to 65535");
    EXPECT_EQ(parseCaptureScript("x close\n").error,
              "1: frame number must be a whole number from 1, not \"x\"");
    EXPECT_TRUE(parseCaptureScript("5 close\n7 keydown\n").events.empty());
}
