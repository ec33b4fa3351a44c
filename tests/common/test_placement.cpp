// Where the windows that work beside the main window first appear, on the
// screens of a classroom.
#include "common/placement.h"

#include <gtest/gtest.h>

namespace
{

TEST(Placement, BesideTheMainWindowWhereTheScreenHasRoomElseHidingTheLeast)
{
    const QSize dialog(600, 640);
    const struct {
        const char *what;
        QRect screen, main;
        QPoint expected;
    } cases[] = {
        // Full HD projector, window centred: beside it on the right, at the
        // edge, over 44 pixels of the window's right border.
        {"1920x1080 centré", QRect(0, 0, 1920, 1040), QRect(558, 220, 804, 600), {1320, 220}},
        // A window moved to the left leaves the right side free.
        {"1920x1080 à gauche", QRect(0, 0, 1920, 1040), QRect(0, 100, 804, 600), {804, 100}},
        // A window moved to the right: the left side is the free one.
        {"1920x1080 à droite", QRect(0, 0, 1920, 1040), QRect(1116, 100, 804, 600), {516, 100}},
        // School laptop: too narrow, as much hidden on either side; on the
        // right the readout and the graph with its points stay in sight.
        {"1366x768", QRect(0, 0, 1366, 728), QRect(281, 64, 804, 600), {766, 64}},
        // Second screen right of the first, task bar on top: the window sits
        // to the right, the left side hides less of it.
        {"second écran", QRect(1920, 40, 1280, 984), QRect(2200, 300, 804, 600), {1920, 300}},
        // A window lower than the dialog can follow: kept on the screen.
        {"en bas", QRect(0, 0, 1920, 1040), QRect(100, 600, 804, 600), {904, 400}},
        // Smaller than the dialog: its top left corner stays visible.
        {"800x600", QRect(0, 0, 800, 600), QRect(0, 0, 800, 600), {200, 0}},
        {"640x480", QRect(0, 0, 640, 480), QRect(0, 0, 800, 600), {0, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(placement::beside(c.main, dialog, c.screen), c.expected) << c.what;
}

} // namespace
