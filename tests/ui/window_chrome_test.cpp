// SPDX-License-Identifier: GPL-3.0-or-later
// The window's chrome against substitute controls: menus over the lists, tooltips, the
// banner's hover and reveal, the cursor, the notation switch and closing.
#include "tests/ui/converter_window_fixture.h"

#include "ui/chrome/banner_reveal.h"
#include "ui/chrome/window_chrome.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace meridal::test {
namespace {

using platform::Image;
using platform::Point;
using platform::Size;

constexpr int banner = res::idBanner;
constexpr Point bannerOrigin{100, 50};

// A picture whose colours change often along a column and between columns.
Image stripes(int width, int height, std::uint32_t base)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.set(x, y, base + static_cast<std::uint32_t>((x / 3 + y / 2) % 4) * 0x101010u);
    return image;
}

TEST(BannerTest, pictureSitsInTheMiddleRoundedTowardZeroAndClipped)
{
    const Image picture = stripes(bannerPictureWidth, bannerPictureHeight, 0x203040);
    struct Case {
        Size size;
        Point at; // where the picture's top-left pixel lands
    };
    const Case cases[] = {
        {{152, 68}, {0, 0}},
        {{160, 75}, {4, 3}},
        {{151, 67}, {0, 0}},   // -1 / 2 is 0, not -1
        {{148, 64}, {-2, -2}}, // clipped on every side
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size.width) + "x" + std::to_string(c.size.height));
        const Image shown = composeBanner(&picture, c.size);
        ASSERT_EQ(shown.width, c.size.width);
        ASSERT_EQ(shown.height, c.size.height);
        for (int y = 0; y < c.size.height; ++y) {
            for (int x = 0; x < c.size.width; ++x) {
                const int px = x - c.at.x, py = y - c.at.y;
                const bool onPicture = px >= 0 && py >= 0 && px < 152 && py < 68;
                ASSERT_EQ(shown.at(x, y), onPicture ? picture.at(px, py) : bannerBackground) << x << "," << y;
            }
        }
    }
    // No picture: white.
    EXPECT_EQ(composeBanner(nullptr, {4, 2}), Image(4, 2, bannerBackground));
}

TEST(BannerTest, revealShowsEachColumnOnceDrawnAndTheWholeBannerAtTheEnd)
{
    for (Size size : {Size{152, 68}, Size{20, 60}, Size{60, 5}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const Image picture = stripes(bannerPictureWidth, bannerPictureHeight, 0x000000);
        const Image target = composeBanner(&picture, size);
        BannerReveal reveal(target);
        EXPECT_EQ(reveal.frame(), Image(size.width, size.height, bannerBackground));
        bool laterColumnsTouched = false;
        while (!reveal.done()) {
            reveal.drawColumn();
            const int drawn = reveal.columnsDone();
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    if (x < drawn)
                        ASSERT_EQ(reveal.frame().at(x, y), target.at(x, y)) << "column " << drawn - 1;
                    else if (reveal.frame().at(x, y) != bannerBackground)
                        laterColumnsTouched = true;
                }
            }
        }
        EXPECT_EQ(reveal.frame(), target);
        EXPECT_TRUE(laterColumnsTouched); // the lines fan out ahead of the columns drawn
    }

    // The pen changes with the colour only: a white banner takes one pen (the first is black).
    BannerReveal white(Image(30, 10, bannerBackground));
    while (!white.done())
        white.drawColumn();
    EXPECT_EQ(white.penChanges(), 1);
}

class WindowChromeTest : public ConverterWindowTest {
  protected:
    void SetUp() override
    {
        ConverterWindowTest::SetUp();
        for (unsigned menu : {res::menuDimension, res::menuUnit, res::menuLog})
            m_resources.set(res::typeMenu, menu, "POPUP\tx\nITEM\t1\ty\t\t\nEND\n");
        writeFile(catalogueText(config("Length", "in", "ft", "12")));
    }

    // Opens the window with a banner of `size` and its two pictures in the module.
    void openWithBanner(Size size)
    {
        ASSERT_TRUE(open());
        host().origins[banner] = bannerOrigin;
        host().sizes[banner] = size;
        host().bitmaps[res::bitmapBanner] = normal;
        host().bitmaps[res::bitmapBannerHot] = hot;
    }

    void pointAtBanner(int x, int y) { host().cursor = {bannerOrigin.x + x, bannerOrigin.y + y}; }
    Image shown() { return host().pictures[banner]; }
    Image rest(bool highlighted) { return composeBanner(highlighted ? &hot : &normal, host().sizes[banner]); }

    // Runs the window's posted tasks and timer ticks until `done`, for at most two seconds.
    bool tickUntil(const std::function<bool()>& done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < until) {
            host().runPosted();
            window().onTimer(WindowChrome::hoverTimerId);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    Image normal = stripes(bannerPictureWidth, bannerPictureHeight, 0x405060);
    Image hot = stripes(bannerPictureWidth, bannerPictureHeight, 0x804020);
};

TEST_F(WindowChromeTest, contextMenusOverTheListsOnlyAtTheRequestsPoint)
{
    struct Case {
        int control;
        unsigned menu; // 0: none
        int contextList;
    };
    const Case cases[] = {
        {res::idDimensionList, res::menuDimension, 1},
        {res::idStartUnitList, res::menuUnit, 0},
        {res::idEndUnitList, res::menuUnit, 1},
        {res::idLogList, res::menuLog, 1},
        {res::idInput, 0, 1},
        {banner, 0, 1},
        {0, 0, 1}, // the window itself
    };
    ASSERT_TRUE(open());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        window().setContextList(c.control == res::idEndUnitList ? 0 : 1);
        host().popups.clear();
        window().onContextMenu(c.control, {-7, 1234});
        if (c.menu == 0) {
            EXPECT_TRUE(host().popups.empty());
        } else {
            ASSERT_EQ(host().popups.size(), 1u);
            EXPECT_EQ(host().popups[0].first, c.menu);
            EXPECT_EQ(host().popups[0].second, (Point{-7, 1234}));
        }
        EXPECT_EQ(window().contextList(), c.contextList);
    }
}

TEST_F(WindowChromeTest, tooltipsNameTheEntryUnderThePointerOrTheSelectedDimension)
{
    ASSERT_TRUE(open());
    EXPECT_EQ(host().tooltips,
              (std::set<int>{res::idDimensionList, res::idStartUnitList, res::idEndUnitList}));
    host().origins[res::idStartUnitList] = {10, 100};
    host().origins[res::idEndUnitList] = {300, 100};
    // Length's units, sorted: ft, in, m, mm.
    struct Case {
        int list;
        Point cursor;
        std::string tip;
    };
    const Case cases[] = {
        {res::idStartUnitList, {15, 100}, "ft"},
        {res::idStartUnitList, {15, 100 + FakeList::rowHeight + 3}, "in"},
        {res::idEndUnitList, {305, 100 + 3 * FakeList::rowHeight}, "mm"},
        {res::idEndUnitList, {305, 100 + 4 * FakeList::rowHeight}, ""}, // below the last entry
        {res::idStartUnitList, {9, 101}, ""},                           // left of the list
        {res::idDimensionList, {0, 0}, "Length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip);
        host().cursor = c.cursor;
        EXPECT_EQ(window().onTooltipText(c.list), c.tip);
    }
    EXPECT_EQ(window().onTooltipText(res::idInput), std::nullopt);
}

TEST_F(WindowChromeTest, bannerCursorCountsTheFarEdgesInsideAndTheNearEdgesOutside)
{
    openWithBanner({152, 68});
    struct Case {
        Point at;
        unsigned cursor;
    };
    const Case cases[] = {
        {{1, 1}, res::cursorBanner},
        {{152, 68}, res::cursorBanner},
        {{0, 30}, 0},
        {{30, 0}, 0},
        {{153, 30}, 0},
        {{30, 69}, 0},
        {{-5, -5}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.at.x) + "," + std::to_string(c.at.y));
        host().cursorShape = 12345;
        pointAtBanner(c.at.x, c.at.y);
        window().onSetCursor();
        EXPECT_EQ(host().cursorShape, c.cursor);
    }
}

TEST_F(WindowChromeTest, bannerHighlightsOnlyAfterTheRevealAndOnlyWhenTheHoverChanges)
{
    openWithBanner({8, 6});
    EXPECT_EQ(host().timers, (std::map<int, int>{{1, 100}}));
    pointAtBanner(3, 3);

    window().onPaint(); // the first paint starts the reveal, right after it
    host().runPosted();
    EXPECT_EQ(shown(), Image(8, 6, bannerBackground));
    window().onTimer(1);
    EXPECT_NE(shown(), rest(true)); // not during the reveal

    // The frames arrive; once the last one is shown, the next tick highlights.
    ASSERT_TRUE(tickUntil([&] { return shown() == rest(true); }));

    // Staying over the banner draws nothing more; leaving draws the normal picture.
    host().pictures.erase(banner);
    window().onTimer(1);
    window().onTimer(1);
    EXPECT_FALSE(host().pictures.count(banner));
    pointAtBanner(0, 3);
    window().onTimer(1);
    EXPECT_EQ(shown(), rest(false));

    // A later paint draws the normal picture, and the next tick highlights again.
    pointAtBanner(8, 6);
    window().onTimer(1);
    EXPECT_EQ(shown(), rest(true));
    window().onPaint();
    EXPECT_EQ(shown(), rest(false));
    window().onTimer(1);
    EXPECT_EQ(shown(), rest(true));
}

TEST_F(WindowChromeTest, closingDuringTheRevealSavesStopsTheTimerAndTheWorker)
{
    openWithBanner({152, 68}); // a reveal of 1.5 s
    window().onPaint();
    ASSERT_TRUE(tickUntil([&] { return shown() != Image(152, 68, bannerBackground); }));
    // A repaint during the reveal shows the frame reached so far, not the whole banner.
    const Image reached = shown();
    window().onPaint();
    EXPECT_EQ(shown(), reached);
    EXPECT_NE(shown(), rest(false));

    input().setText("7");
    host().command(res::cmdExit);
    EXPECT_NE(readFile().find("sv=7/>"), std::string::npos);
    EXPECT_TRUE(host().timers.empty());
    EXPECT_EQ(host().stoppedTimers, std::vector<int>{1});
    EXPECT_EQ(host().endResults, std::vector<int>{0});

    // The worker is gone: nothing more is posted. Frames still queued find the window gone.
    host().pictures.erase(banner);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::size_t queued = host().posted.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(host().posted.size(), queued);
    m_window.reset();
    host().runPosted();
    EXPECT_FALSE(host().pictures.count(banner));
}

TEST_F(WindowChromeTest, notationSwitchTogglesTheCheckMarkAndConvertsEachTime)
{
    ASSERT_TRUE(open());
    const std::string fixed = output().text();
    host().command(res::cmdToggleNotation);
    EXPECT_TRUE(window().scientific());
    EXPECT_EQ(host().menuChecks[res::cmdToggleNotation], true);
    const std::string scientific = output().text();
    EXPECT_NE(scientific, fixed);
    host().command(res::cmdToggleNotation);
    EXPECT_FALSE(window().scientific());
    EXPECT_EQ(host().menuChecks[res::cmdToggleNotation], false);
    EXPECT_EQ(output().text(), fixed);
}

TEST_F(WindowChromeTest, buttonBitmapsAndAModuleWithoutMenusBitmapsOrCursor)
{
    for (unsigned bitmap : {183u, 184u, 185u, 186u})
        host().bitmaps[bitmap] = Image(24, 24);
    ASSERT_TRUE(open());
    EXPECT_EQ(host().buttonBitmaps,
              (std::map<int, unsigned>{{1054, 186}, {1051, 183}, {1052, 184}, {1053, 185}}));

    // Without menus, bitmaps or the cursor: no popup, no button bitmap, a white banner.
    for (unsigned menu : {res::menuDimension, res::menuUnit, res::menuLog})
        m_resources.remove(res::typeMenu, menu);
    ASSERT_TRUE(open());
    host().sizes[banner] = {152, 68};
    host().origins[banner] = bannerOrigin;
    for (int list : {res::idDimensionList, res::idStartUnitList, res::idEndUnitList, res::idLogList})
        window().onContextMenu(list, {1, 1});
    EXPECT_TRUE(host().popups.empty());
    EXPECT_TRUE(host().buttonBitmaps.empty());
    window().onPaint();
    pointAtBanner(5, 5);
    ASSERT_TRUE(
        tickUntil([&] { return shown() == Image(152, 68, bannerBackground) && host().posted.empty(); }));
    window().onSetCursor();
    EXPECT_EQ(host().cursorShape, res::cursorBanner); // the platform shows the arrow for it
}

} // namespace
} // namespace meridal::test
