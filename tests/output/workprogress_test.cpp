#include "app/dialogs/workprogress.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>

#include "support/cancelprogress.h"

namespace tervasko {
namespace {

int visibleProgressDialogs() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<QProgressDialog*>(w) && w->isVisible();
    return n;
}

// Before its delay, long work shows no dialog but lets the window's own events through
// (a repaint, a timer), never the user's input; the program is busy while it runs.
TEST(WorkProgress, BeforeItsDelayWorkShowsNothingButKeepsTheWindowAlive) {
    bool timerRan = false;
    {
        WorkProgress progress(nullptr, "Drucken...", "", 10 * 60 * 1000);
        EXPECT_TRUE(WorkProgress::Busy());
        QTimer::singleShot(0, [&] { timerRan = true; });
        for (int i = 0; i <= 100; ++i) ASSERT_TRUE(progress.Report(i, 100));
        EXPECT_TRUE(timerRan) << "the work's reports let the window's events through";
        EXPECT_EQ(visibleProgressDialogs(), 0);
        EXPECT_FALSE(progress.Cancelled());
    }
    EXPECT_FALSE(WorkProgress::Busy());
}

// After the delay: a modal dialog with the label and "Abbrechen"; a click on it answers the
// next report with false, and every one after; the dialog goes with the work.
TEST(WorkProgress, ItsDialogCancelsTheWorkAndGoesWithIt) {
    testing::CancelProgressDialog user;
    std::uint64_t reports = 0;
    {
        WorkProgress progress(nullptr, "Als Bild exportieren...", "/tmp/a.png");
        while (progress.Report(reports, 1000) && reports < 1000) ++reports;
        EXPECT_TRUE(progress.Cancelled());
        EXPECT_FALSE(progress.Report(reports, 1000));
        EXPECT_LT(reports, 1000u);
    }
    EXPECT_TRUE(user.Seen());
    EXPECT_TRUE(user.Modal());
    EXPECT_TRUE(user.Clicked());
    EXPECT_EQ(user.Label(), "Als Bild exportieren...\n/tmp/a.png");
    QApplication::processEvents();
    EXPECT_EQ(visibleProgressDialogs(), 0);
}

// Work of an unknown amount (total 0) and work that is let run to its end.
TEST(WorkProgress, UncancelledWorkRunsToItsEnd) {
    testing::CancelProgressDialog user(false);
    WorkProgress progress(nullptr, "Öffnen...", "a.tvk");
    EXPECT_TRUE(progress.Report(5, 0));
    for (int i = 0; i <= 50; ++i) ASSERT_TRUE(progress.Report(i, 50));
    EXPECT_TRUE(user.Seen());
    EXPECT_FALSE(progress.Cancelled());
}

}  // namespace
}  // namespace tervasko
