#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QStyleHints>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "views/CurveView.h"
#include "GuiTestSupport.h"

namespace {

// Records which operation the routing called, with the point it got.
class RoutingView : public CGLView {
public:
    void OnLeftDown(unsigned, int x, int y) override { Record("LeftDown", x, y); }
    void OnLeftUp(int x, int y) override { Record("LeftUp", x, y); }
    void OnRightDown(int x, int y) override { Record("RightDown", x, y); }
    void OnRightUp(int x, int y) override { Record("RightUp", x, y); }
    void OnDrag(unsigned flags, int x, int y) override
    {
        Record("Drag" + std::to_string(flags), x, y);
    }

    std::vector<std::string> calls;

private:
    void Record(const std::string& name, int x, int y)
    {
        calls.push_back(name + "@" + std::to_string(x) + "," + std::to_string(y));
        contextLeftCurrent |= QOpenGLContext::currentContext() != nullptr;
    }

public:
    bool contextLeftCurrent = false;
};

class GLViewRouting : public testing::Test {
protected:
    void SetUp() override
    {
        view.resize(200, 150);
        view.create();
        view.InitGL();
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
        view.calls.clear();
    }
    RoutingView view;
};

} // namespace

TEST_F(GLViewRouting, InitGLSetsUpTheContextAndReleasesIt)
{
    EXPECT_NE(view.Context(), nullptr);
    EXPECT_EQ(view.Drawable(), &view);
    EXPECT_EQ(view.Client().left, 0);
    EXPECT_EQ(view.Client().right, 200);
    EXPECT_EQ(view.Client().bottom, 150);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

TEST_F(GLViewRouting, ButtonsAndMovesReachTheirOperations)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseMove(&view, QPoint(30, 40));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(30, 40));
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(50, 60));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(51, 61));
    QTest::mouseMove(&view, QPoint(70, 80));
    // The toolkit moves the pointer to each press position first; moves carry
    // the held buttons as flags.
    std::vector<std::string> buttons, drags;
    for (const std::string& call : view.calls)
        (call.rfind("Drag", 0) == 0 ? drags : buttons).push_back(call);
    const std::vector<std::string> expectedButtons = {"LeftDown@10,20", "LeftUp@30,40",
                                                      "RightDown@50,60", "RightUp@51,61"};
    EXPECT_EQ(buttons, expectedButtons);
    for (const char* drag : {"Drag1@30,40", "Drag2@51,61", "Drag0@70,80"})
        EXPECT_NE(std::find(drags.begin(), drags.end(), drag), drags.end()) << drag;
    EXPECT_FALSE(view.contextLeftCurrent);
}

TEST_F(GLViewRouting, SecondPressOfADoubleClickIsNotALeftDown)
{
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(15, 25));
    int leftDowns = 0;
    for (const std::string& call : view.calls)
        leftDowns += call.rfind("LeftDown", 0) == 0;
    EXPECT_EQ(leftDowns, 1);
    // Both presses were delivered: each has its release.
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "LeftUp@15,25"), 2);
    // A later, separate click is a press again.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(90, 90));
    EXPECT_EQ(view.calls.back(), "LeftUp@90,90");
    EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "LeftDown@90,90"), view.calls.end());
}

TEST(GLViewUnproject, ScreenToWorldInvertsTheOrthographicSquare)
{
    DesignDocument design;
    CCurveView view(design, design.Path());
    view.resize(292, 256);
    view.create();
    view.InitGL();
    double nearPoint[3], farPoint[3];
    // Before the first frame the matrices are identities: the square is [-1, 1].
    view.ScreenToWorld(0, 0, nearPoint, farPoint);
    EXPECT_DOUBLE_EQ(nearPoint[0], -1.0);
    EXPECT_DOUBLE_EQ(nearPoint[1], 1.0);
    view.RenderFrame();
    // The top row unprojects at the full height, so to the top edge.
    view.ScreenToWorld(0, 0, nearPoint, farPoint);
    EXPECT_NEAR(nearPoint[0], -10.0, 1e-6);
    EXPECT_NEAR(nearPoint[1], 10.0, 1e-6);
    EXPECT_NEAR(nearPoint[2], 5.0, 1e-6);
    EXPECT_NEAR(farPoint[2], -5.0, 1e-6);
    view.ScreenToWorld(146, 128, nearPoint, farPoint);
    EXPECT_NEAR(nearPoint[0], 0.0, 1e-6);
    EXPECT_NEAR(nearPoint[1], 0.0, 1e-6);
    view.ScreenToWorld(73, 192, nearPoint, farPoint);
    EXPECT_NEAR(nearPoint[0], -5.0, 1e-6);
    EXPECT_NEAR(nearPoint[1], -5.0, 1e-6);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

// A left press or release delivered straight to the view with an explicit
// timestamp, so that only the event's own clock decides what is a double
// click.
static void SendLeft(QWindow& view, QEvent::Type type, QPoint pos, quint64 timestamp)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, pos, view.mapToGlobal(pos), Qt::LeftButton, held, {});
    event.setTimestamp(timestamp);
    QCoreApplication::sendEvent(&view, &event);
}

TEST_F(GLViewRouting, ASecondPressJoinsOnlyWithinTheIntervalAndTheDistance)
{
    const quint64 interval = static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    const int distance = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    const QPoint p(40, 40);
    quint64 t = 100000;
    auto click = [&](QPoint at, quint64 after) {
        t += after;
        SendLeft(view, QEvent::MouseButtonPress, at, t);
        SendLeft(view, QEvent::MouseButtonRelease, at, t);
    };
    click(p, 0);                                // a press
    click(p, interval - 1);                     // its double click
    click(p, 1);                                // a third press starts afresh
    click(p, interval);                         // too late to join
    click(p + QPoint(distance + 1, 0), 1);      // too far to join
    click(p + QPoint(distance + 1, 0), 1);      // joins the one before
    std::vector<std::string> downs;
    for (const std::string& call : view.calls)
        if (call.rfind("LeftDown", 0) == 0)
            downs.push_back(call);
    const std::string far = "LeftDown@" + std::to_string(40 + distance + 1) + ",40";
    EXPECT_EQ(downs, (std::vector<std::string>{"LeftDown@40,40", "LeftDown@40,40", "LeftDown@40,40", far}));
}
