#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <map>

#include "E2eSupport.h"
#include "core/CurveSquare.h"

using namespace e2e;

namespace {

// Enough surface pixels that a lit surface, not a stray pixel, is showing.
constexpr int kVisibleSurface = 800;

using Story = DialogUser;

std::array<float, 16> MatrixOf(const CSurfaceView& view)
{
    std::array<float, 16> m{};
    std::memcpy(m.data(), view.Trackball().Matrix(), sizeof m);
    return m;
}

bool SamePoints(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z)
            return false;
    return true;
}

std::vector<double> Ys(const CCurveView& view)
{
    std::vector<double> ys;
    for (const CVector3& p : view.Document().ControlPoints())
        ys.push_back(p.y);
    return ys;
}

// Surface pixels that lie in `mask`'s surface but show white in `image`.
int WhiteInsideSilhouette(const QImage& image, const QImage& mask)
{
    int count = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if (IsSurface(mask.pixel(x, y)) && IsWhite(image.pixel(x, y)))
                ++count;
    return count;
}

// Lit surface pixels of one band of rows, sorted by hue.
struct Tint {
    int yellowish = 0;
    int cyanish = 0;
    int lit = 0;
};

Tint TintOfRows(const QImage& image, int top, int bottom)
{
    Tint t;
    for (int y = std::max(0, top); y <= std::min(image.height() - 1, bottom); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (!IsSurface(p) || std::max({qRed(p), qGreen(p), qBlue(p)}) < 60)
                continue;
            ++t.lit;
            if (qRed(p) > qBlue(p) + 40 && qGreen(p) > qBlue(p) + 40)
                ++t.yellowish;
            if (qBlue(p) > qRed(p) + 40 && qGreen(p) > qRed(p) + 40)
                ++t.cyanish;
        }
    return t;
}

// Counts the frames each view is asked for (update requests delivered).
class FrameCounter : public QObject {
public:
    explicit FrameCounter(std::initializer_list<QWindow*> views) : m_views(views)
    {
        for (QWindow* view : m_views)
            view->installEventFilter(this);
    }
    ~FrameCounter() override
    {
        for (QWindow* view : m_views)
            view->removeEventFilter(this);
    }
    int Of(QWindow& view) const
    {
        const auto found = m_counts.find(&view);
        return found == m_counts.end() ? 0 : found->second;
    }
    void Reset() { m_counts.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            ++m_counts[watched];
        return false;
    }

private:
    std::vector<QWindow*> m_views;
    std::map<QObject*, int> m_counts;
};

// What a view shows on the screen now, without drawing a frame.
QImage OnScreen(CGLView& view)
{
    return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST_F(Story, StartShowsAnEmptyProfileAStraightPathAndTheAxesAlone)
{
    EXPECT_TRUE(Profile().Document().ControlPoints().empty());
    EXPECT_EQ(Profile().Document().Selected(), -1);
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, 5}));
    EXPECT_EQ(Path().Document().ControlPoints()[0].x, 0.0);
    EXPECT_EQ(Path().Document().ControlPoints()[1].x, 0.0);
    EXPECT_EQ(Path().Document().Selected(), 0);
    EXPECT_EQ(ReadOut(), "Selected CP :");
    EXPECT_EQ(DegreeField()->text(), "1");
    EXPECT_EQ(dialog->focusWidget(), Button(IDC_ADD_CP1));

    // The surface view: white with the axes, nothing else.
    const Census start = TakeCensus(GrabView(Surface()));
    EXPECT_EQ(start.surface, 0);
    EXPECT_GT(start.red, 20);
    EXPECT_GT(start.green, 20);
    EXPECT_GT(start.white, Surface().Client().right * Surface().Client().bottom * 9 / 10);

    // The profile editor shows only its grid: no polygon, no dots.
    const QImage profile = GrabView(Profile());
    EXPECT_EQ(CountColour(profile, 128, 128, 255), 0);
    EXPECT_EQ(CountColour(profile, 255, 128, 128), 0);
    EXPECT_GT(CountColour(profile, 178, 178, 178), 100);

    // The path editor: the polygon up the Y axis, the bottom point selected.
    const QImage path = GrabView(Path());
    EXPECT_GT(CountColour(path, 128, 128, 255), 50);
    EXPECT_TRUE(ColourAround(path, WorldToWindow(Path(), 0, -5), 255, 128, 128));
    EXPECT_TRUE(ColourAround(path, WorldToWindow(Path(), 0, 5), 128, 128, 128));
    EXPECT_FALSE(ColourAround(path, WorldToWindow(Path(), 0, 5), 255, 128, 128));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, DrawingAVaseGrowsTheSurfaceAndNamesEachNewPoint)
{
    const QRegularExpression sixDecimals(
        QStringLiteral("^Selected CP : P\\d+ \\(-?\\d+\\.\\d{6}, -?\\d+\\.\\d{6}\\)$"));
    const std::vector<QPointF> vase = VasePoints();
    QImage previous = GrabView(Surface());
    for (std::size_t i = 0; i < vase.size(); ++i) {
        SCOPED_TRACE(i);
        ClickWorld(Profile(), vase[i].x(), vase[i].y());
        ASSERT_EQ(Profile().Document().ControlPoints().size(), i + 1);
        EXPECT_EQ(Profile().Document().Selected(), static_cast<int>(i));
        const CVector3 p = Profile().Document().ControlPoints()[i];
        EXPECT_NEAR(p.x, vase[i].x(), 0.15);
        EXPECT_NEAR(p.y, vase[i].y(), 0.15);
        EXPECT_TRUE(ReadOutBecomes(Expected(static_cast<int>(i), p))) << ReadOut().toStdString();
        EXPECT_TRUE(sixDecimals.match(ReadOut()).hasMatch()) << ReadOut().toStdString();

        const QImage now = GrabView(Surface());
        const Census census = TakeCensus(now);
        if (i == 0) {
            EXPECT_EQ(census.surface, 0) << "one point makes no surface";
        } else {
            EXPECT_GT(census.surface, kVisibleSurface);
            EXPECT_GT(CountDifferentPixels(previous, now), 200);
        }
        previous = now;
    }

    // A click at negative X is refused and changes nothing the user sees.
    const std::vector<CVector3> before = Profile().Document().ControlPoints();
    const QString readOut = ReadOut();
    ClickWorld(Profile(), -3, 0);
    Settle();
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"X > 0이어야 합니다."});
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName().toStdString());
    EXPECT_TRUE(SamePoints(Profile().Document().ControlPoints(), before));
    EXPECT_EQ(Profile().Document().Selected(), 3);
    EXPECT_EQ(ReadOut(), readOut);
    EXPECT_EQ(CountDifferentPixels(previous, GrabView(Surface())), 0);
}

TEST_F(Story, ResettingThePathFollowsTheTypedDegree)
{
    DrawVase();

    ResetWith("3");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, -1.6666667461395264, 1.6666665077209473, 4.999999761581421}));
    for (const CVector3& p : Path().Document().ControlPoints()) {
        EXPECT_EQ(p.x, 0.0);
        EXPECT_EQ(p.z, 0.0);
    }
    EXPECT_EQ(Path().Document().Selected(), 0);
    EXPECT_GT(TakeCensus(GrabView(Surface())).surface, kVisibleSurface);

    ResetWith("0");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"1보다 큰 값을 입력하세요."});
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, 5}));
    EXPECT_TRUE(WaitFor([&] { return DegreeField()->text() == "1"; })) << DegreeField()->text().toStdString();

    // Refused text: the message, the text selected for retyping, and a
    // reset with the previous degree (the deleted point comes back).
    boxes.boxes.clear();
    Press(IDC_DELETE_CP3);
    ASSERT_EQ(Path().Document().ControlPoints().size(), 1u);
    ResetWith("-3");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"양의 정수를 입력하십시오."});
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, 5}));
    // The field keeps the focus and shows the degree in force after the repaint.
    EXPECT_EQ(dialog->focusWidget(), DegreeField());
    EXPECT_TRUE(WaitFor([&] { return DegreeField()->text() == "1"; })) << DegreeField()->text().toStdString();

    boxes.boxes.clear();
    ResetWith("+4 ");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, -2.5, 0, 2.5, 5}));
    EXPECT_TRUE(WaitFor([&] { return DegreeField()->text() == "4"; })) << DegreeField()->text().toStdString();

    Press(IDC_DELETE_CP3);
    ASSERT_EQ(Path().Document().ControlPoints().size(), 4u);
    ResetWith("abc");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"양의 정수를 입력하십시오."});
    EXPECT_EQ(Ys(Path()), (std::vector<double>{-5, -2.5, 0, 2.5, 5}));
    EXPECT_EQ(dialog->focusWidget(), DegreeField());
    EXPECT_TRUE(WaitFor([&] { return DegreeField()->text() == "4"; })) << DegreeField()->text().toStdString();

    boxes.boxes.clear();
    ResetWith("101");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"100 이하의 값을 입력하세요."});
    ASSERT_EQ(Path().Document().ControlPoints().size(), 101u);
    EXPECT_EQ(Path().Document().ControlPoints().front().y, -5.0);
    EXPECT_NEAR(Path().Document().ControlPoints().back().y, 5.0, 1e-5);
    EXPECT_TRUE(WaitFor([&] { return DegreeField()->text() == "100"; })) << DegreeField()->text().toStdString();
    // The vase is still there, swept along the finer path.
    EXPECT_GT(TakeCensus(GrabView(Surface())).surface, kVisibleSurface);
}

TEST_F(Story, BendingThePathBendsTheSurface)
{
    DrawVase();
    const std::vector<CVector3> profile = Profile().Document().ControlPoints();
    const QImage straight = GrabView(Surface());

    Press(IDC_SELECT_CP3);
    DragWorld(Path(), {{0, 5}, {1, 4.6}, {2.5, 4}, {4, 3}});
    Settle();
    ASSERT_EQ(Path().Document().ControlPoints().size(), 2u);
    EXPECT_EQ(Path().Document().Selected(), 1);
    EXPECT_NEAR(Path().Document().ControlPoints()[1].x, 4, 0.15);
    EXPECT_NEAR(Path().Document().ControlPoints()[1].y, 3, 0.15);
    EXPECT_EQ(Ys(Path())[0], -5.0) << "the other end stays";

    // The editor shows the selected point where it was dropped.
    EXPECT_TRUE(ColourAround(GrabView(Path()), WorldToWindow(Path(), 4, 3), 255, 128, 128));
    const QImage bent = GrabView(Surface());
    EXPECT_GT(TakeCensus(bent).surface, kVisibleSurface);
    EXPECT_GT(CountDifferentPixels(straight, bent), 1000);
    // The profile and its read-out are untouched.
    EXPECT_TRUE(SamePoints(Profile().Document().ControlPoints(), profile));
    EXPECT_EQ(ReadOut(), Expected(3, profile[3]));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, TurningAndZoomingTheView)
{
    DrawVase();
    CSurfaceView& view = Surface();
    const QPoint centre(view.width() / 2, view.height() / 2);
    const std::array<float, 16> identity = MatrixOf(view);
    const QImage front = GrabView(view);
    const Census frontCensus = TakeCensus(front);

    // Left drag across: the surface turns about the vertical, and the Z axis
    // (end-on at first) swings into sight.
    QTest::mousePress(&view, Qt::LeftButton, {}, centre);
    for (int step = 1; step <= 6; ++step)
        QTest::mouseMove(&view, centre + QPoint(10 * step, 0));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centre + QPoint(60, 0));
    EXPECT_NE(MatrixOf(view), identity);
    EXPECT_EQ(view.Trackball().Distance(), 20.0f);
    const QImage turned = GrabView(view);
    const Census turnedCensus = TakeCensus(turned);
    EXPECT_GT(CountDifferentPixels(front, turned), 500);
    EXPECT_GT(turnedCensus.blue, frontCensus.blue + 10);
    EXPECT_GT(turnedCensus.surface, kVisibleSurface);

    // Right drag to the right: the camera backs away, the surface shrinks.
    const std::array<float, 16> turnedMatrix = MatrixOf(view);
    QTest::mousePress(&view, Qt::RightButton, {}, centre);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&view, centre + QPoint(10 * step, 0));
    QTest::mouseRelease(&view, Qt::RightButton, {}, centre + QPoint(40, 0));
    const float far = view.Trackball().Distance();
    EXPECT_GT(far, 20.0f);
    EXPECT_EQ(MatrixOf(view), turnedMatrix) << "zooming does not turn";
    const Census farCensus = TakeCensus(GrabView(view));
    EXPECT_LT(farCensus.surface, turnedCensus.surface * 9 / 10);

    // Right drag to the left: it comes closer, the surface grows; however
    // far the drag goes, the camera stops at distance 2.
    QTest::mousePress(&view, Qt::RightButton, {}, centre);
    QTest::mouseMove(&view, centre - QPoint(20, 0));
    QTest::mouseRelease(&view, Qt::RightButton, {}, centre - QPoint(20, 0));
    EXPECT_LT(view.Trackball().Distance(), far);
    EXPECT_GT(TakeCensus(GrabView(view)).surface, farCensus.surface);
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(view.width() - 2, centre.y()));
    QTest::mouseMove(&view, QPoint(1, centre.y()));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(1, centre.y()));
    EXPECT_NEAR(view.Trackball().Distance(), 2.0, 1e-5);
    EXPECT_GT(TakeCensus(GrabView(view)).surface, farCensus.surface);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, ReleasingOutsideTheViewEndsTheDrag)
{
    DrawVase();
    CSurfaceView& view = Surface();
    const QPoint centre(view.width() / 2, view.height() / 2);

    // Press inside, turn a little, release left of the view: the toolkit's
    // grab brings the release to the view, so the drag is over.
    QTest::mousePress(&view, Qt::LeftButton, {}, centre);
    QTest::mouseMove(&view, centre + QPoint(15, 10));
    QTest::mouseMove(&view, QPoint(-5, centre.y()));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(-25, centre.y()));
    EXPECT_FALSE(view.Trackball().IsRotating());
    const std::array<float, 16> afterTurn = MatrixOf(view);
    const QImage still = GrabView(view);
    for (int step = 1; step <= 5; ++step)
        QTest::mouseMove(&view, centre + QPoint(12 * step, 7 * step));
    Settle();
    EXPECT_EQ(MatrixOf(view), afterTurn);
    EXPECT_EQ(CountDifferentPixels(still, GrabView(view)), 0);

    // The same for a zoom released above the view.
    const float distance = view.Trackball().Distance();
    QTest::mousePress(&view, Qt::RightButton, {}, centre);
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(centre.x(), -20));
    EXPECT_FALSE(view.Trackball().IsZooming());
    for (int step = 1; step <= 5; ++step)
        QTest::mouseMove(&view, centre + QPoint(-15 * step, 3 * step));
    Settle();
    EXPECT_EQ(view.Trackball().Distance(), distance);
    EXPECT_EQ(MatrixOf(view), afterTurn);
    EXPECT_EQ(CountDifferentPixels(still, GrabView(view)), 0);
}

TEST_F(Story, RenderModesShowTheSameSurfaceDifferently)
{
    DrawVase();
    const QImage solid = GrabView(Surface());
    const int silhouette = TakeCensus(solid).surface;
    ASSERT_GT(silhouette, kVisibleSurface);

    Press(IDC_WIREFRAME);
    const QImage wire = GrabView(Surface());
    Press(IDC_POINT);
    const QImage points = GrabView(Surface());
    Press(IDC_SOLID);
    const QImage solidAgain = GrabView(Surface());

    const int solidGaps = WhiteInsideSilhouette(solid, solid);
    const int wireGaps = WhiteInsideSilhouette(wire, solid);
    const int pointGaps = WhiteInsideSilhouette(points, solid);
    EXPECT_EQ(solidGaps, 0);
    // Two-pixel edges leave small holes in the dense mesh; two-pixel points
    // leave most of it open.
    EXPECT_GT(wireGaps, silhouette / 50);
    EXPECT_GT(pointGaps, silhouette / 3);
    EXPECT_GT(pointGaps, 2 * wireGaps) << "points cover less than the lines through them";
    EXPECT_GT(TakeCensus(wire).surface, kVisibleSurface / 4);
    EXPECT_GT(TakeCensus(points).surface, kVisibleSurface / 8);
    EXPECT_GT(CountDifferentPixels(wire, points), 100);
    EXPECT_EQ(CountDifferentPixels(solid, solidAgain), 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, ATextureFromABitmapWrapsTheSurfaceAndABadFileIsRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Bottom half yellow, top half cyan: the picture's bottom belongs at
    // the vase's foot.
    const QString picture = dir.filePath(QStringLiteral("two-bands.bmp"));
    ASSERT_TRUE(WriteBmp24(picture.toStdString(), 64, 64, [](int, int y) {
        return y < 32 ? qRgb(255, 255, 0) : qRgb(0, 255, 255);
    }));

    DrawVase();
    const QImage plain = GrabView(Surface());
    const Census census = TakeCensus(plain);
    const QRect box = census.surfaceBox;
    const int third = box.height() / 3;
    const Tint plainTint = TintOfRows(plain, box.top(), box.bottom());
    ASSERT_GT(plainTint.lit, kVisibleSurface / 2);
    EXPECT_LT(plainTint.yellowish + plainTint.cyanish, plainTint.lit / 50) << "untextured is grey";

    ASSERT_EQ(LoadTextureThroughDialog(Button(IDC_LOAD_TEXTURE), picture), "");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(Surface().TextureName(), 0u);
    const QImage textured = GrabView(Surface());
    const Tint foot = TintOfRows(textured, box.bottom() - third, box.bottom());
    const Tint rim = TintOfRows(textured, box.top(), box.top() + third);
    EXPECT_GT(foot.yellowish, foot.lit / 2);
    EXPECT_LT(foot.cyanish, foot.yellowish / 4);
    EXPECT_GT(rim.cyanish, rim.lit / 2);
    EXPECT_LT(rim.yellowish, rim.cyanish / 4);

    // Files that are not bitmaps of a known kind: each shows its box, and the
    // texture shown stays.
    std::vector<std::uint8_t> v5 = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 108, 0, 0, 0, 108, 0, 0, 0,
                                    8, 0, 0, 0, 8, 0, 0, 0, 1, 0, 24, 0};
    v5.resize(14 + 108 + 8 * 8 * 3, 0x7F);
    const QString largeHeader = dir.filePath(QStringLiteral("v4-header.bmp"));
    ASSERT_TRUE(WriteBytes(largeHeader.toStdString(), v5));
    const std::string text = "this is no picture, only words and more words";
    const QString garbage = dir.filePath(QStringLiteral("words.bmp"));
    ASSERT_TRUE(WriteBytes(garbage.toStdString(), std::vector<std::uint8_t>(text.begin(), text.end())));
    for (const QString& bad : {largeHeader, garbage}) {
        SCOPED_TRACE(bad.toStdString());
        ASSERT_EQ(LoadTextureThroughDialog(Button(IDC_LOAD_TEXTURE), picture), "");
        ASSERT_TRUE(boxes.boxes.empty());
        boxes.boxes.clear();
        ASSERT_EQ(LoadTextureThroughDialog(Button(IDC_LOAD_TEXTURE), bad), "");
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"Unknown DIB file format."});
        EXPECT_EQ(boxes.boxes[0].caption, "Error");
        EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::None);
        boxes.boxes.clear();
        EXPECT_EQ(CountDifferentPixels(textured, GrabView(Surface())), 0) << "drawn as before the refused file";
    }

    // An empty file cannot even be opened as a bitmap.
    const QString empty = dir.filePath(QStringLiteral("empty.bmp"));
    ASSERT_TRUE(WriteBytes(empty.toStdString(), {}));
    ASSERT_EQ(LoadTextureThroughDialog(Button(IDC_LOAD_TEXTURE), empty), "");
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"Failed to open DIB file " + QDir::toNativeSeparators(empty).toStdString() + ".\n"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Story, APictureDroppedOnAViewBecomesTheTexture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Bottom half yellow, top half cyan, as a PNG.
    QImage picture(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, y >= 32 ? qRgb(255, 255, 0) : qRgb(0, 255, 255));
    const QString png = dir.filePath(QStringLiteral("two-bands.png"));
    ASSERT_TRUE(picture.save(png));
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(WriteBytes(notes.toStdString(), {'v', 'a', 's', 'e'}));

    DrawVase();
    const QImage plain = GrabView(Surface());
    const QRect box = TakeCensus(plain).surfaceBox;
    const int third = box.height() / 3;
    // Over the surface view, a native window of its own inside the dialog.
    const QPoint overSurface = Surface().mapToGlobal(QPoint(Surface().width() / 2, Surface().height() / 4));

    // Neither a picture nor a design: refused, nothing changes.
    EXPECT_EQ(DragFileWithThePointer(notes, overSurface), Qt::IgnoreAction);
    Settle();
    EXPECT_EQ(Surface().TextureName(), 0u);
    EXPECT_EQ(CountDifferentPixels(plain, GrabView(Surface())), 0);

    EXPECT_EQ(DragFileWithThePointer(png, overSurface), Qt::CopyAction);
    ASSERT_TRUE(WaitFor([this] { return Surface().TextureName() != 0; }));
    Settle();
    EXPECT_TRUE(boxes.boxes.empty());
    const QImage textured = GrabView(Surface());
    const Tint foot = TintOfRows(textured, box.bottom() - third, box.bottom());
    const Tint rim = TintOfRows(textured, box.top(), box.top() + third);
    EXPECT_GT(foot.yellowish, foot.lit / 2);
    EXPECT_LT(foot.cyanish, foot.yellowish / 4);
    EXPECT_GT(rim.cyanish, rim.lit / 2);
    EXPECT_LT(rim.yellowish, rim.cyanish / 4);
    EXPECT_TRUE(QFileInfo::exists(png)) << "a drop copies, never moves";

    // A picture that cannot be read shows the same box as from the file
    // dialog, and the texture stays.
    const QString bad = dir.filePath(QStringLiteral("words.png"));
    ASSERT_TRUE(WriteBytes(bad.toStdString(), {'n', 'o', ' ', 'p', 'n', 'g'}));
    EXPECT_EQ(DragFileWithThePointer(bad, overSurface), Qt::CopyAction);
    ASSERT_TRUE(WaitFor([this] { return !boxes.boxes.empty(); }));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"words.png: not a picture Qt can read (Unsupported image format)"});
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(CountDifferentPixels(textured, GrabView(Surface())), 0);
}

TEST_F(Story, DeletingEveryProfilePointTakesTheSurfaceAway)
{
    const QImage axesAlone = GrabView(Surface());
    DrawVase();
    ASSERT_EQ(Profile().Document().ControlPoints().size(), 4u);
    const std::vector<CVector3> vase = Profile().Document().ControlPoints();

    // Each delete removes the selected (last) point and selects the one before.
    for (int remaining = 3; remaining >= 0; --remaining) {
        SCOPED_TRACE(remaining);
        Press(IDC_DELETE_CP1);
        ASSERT_EQ(Profile().Document().ControlPoints().size(), static_cast<std::size_t>(remaining));
        EXPECT_EQ(Profile().Document().Selected(), remaining - 1);
        const QString expected =
            remaining == 0 ? QStringLiteral("Selected CP :") : Expected(remaining - 1, vase[remaining - 1]);
        EXPECT_TRUE(ReadOutBecomes(expected)) << ReadOut().toStdString();
        const QImage now = GrabView(Surface());
        if (remaining >= 2) {
            EXPECT_GT(TakeCensus(now).surface, kVisibleSurface);
        } else {
            EXPECT_EQ(TakeCensus(now).surface, 0);
            EXPECT_EQ(CountDifferentPixels(axesAlone, now), 0) << "the axes alone, as at the start";
        }
    }
    // Nothing left to delete: nothing happens.
    Press(IDC_DELETE_CP1);
    Settle();
    EXPECT_TRUE(Profile().Document().ControlPoints().empty());
    EXPECT_EQ(ReadOut(), "Selected CP :");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, AnEditRedrawsTheViewsItChangesAndLeavesTheOthersRight)
{
    DrawVase();
    FrameCounter frames({&Profile(), &Path(), &Surface()});
    // The surface as a fresh build from the curves shows it; a frame drawn
    // now shows what the view holds.
    auto expectEveryPictureRight = [this] {
        for (CGLView* view : {static_cast<CGLView*>(&Profile()), static_cast<CGLView*>(&Path())}) {
            const QImage shown = OnScreen(*view);
            EXPECT_EQ(CountDifferentPixels(shown, GrabView(*view)), 0) << (view == &Profile() ? "profile" : "path");
        }
        const QImage shown = OnScreen(Surface());
        Surface().BuildSurface(Profile().Document().SamplePoints(), Path().Document().ControlPoints(),
                               Profile().Document().ControlPoints());
        EXPECT_EQ(CountDifferentPixels(shown, GrabView(Surface())), 0) << "surface";
    };

    // A profile drag: the profile and the surface change, the path cannot.
    Press(IDC_SELECT_CP1);
    Settle();
    const QImage pathBefore = OnScreen(Path());
    const QImage surfaceBefore = OnScreen(Surface());
    frames.Reset();
    DragWorld(Profile(), {{2, 2}, {3, 1.5}, {4.5, 1}});
    Settle();
    EXPECT_GE(frames.Of(Profile()), 1);
    EXPECT_GE(frames.Of(Surface()), 1);
    EXPECT_EQ(frames.Of(Path()), 0) << "the path's picture cannot have changed";
    EXPECT_EQ(CountDifferentPixels(OnScreen(Path()), pathBefore), 0);
    EXPECT_GT(CountDifferentPixels(OnScreen(Surface()), surfaceBefore), 200);
    expectEveryPictureRight();

    // A path drag: the path and the surface change, the profile cannot.
    Press(IDC_SELECT_CP3);
    Settle();
    const QImage profileBefore = OnScreen(Profile());
    frames.Reset();
    DragWorld(Path(), {{0, 5}, {1, 4.5}, {2.5, 4}});
    Settle();
    EXPECT_GE(frames.Of(Path()), 1);
    EXPECT_GE(frames.Of(Surface()), 1);
    EXPECT_EQ(frames.Of(Profile()), 0) << "the profile's picture cannot have changed";
    EXPECT_EQ(CountDifferentPixels(OnScreen(Profile()), profileBefore), 0);
    expectEveryPictureRight();

    // A select-mode click moves nothing: the surface is neither rebuilt nor
    // redrawn, while the profile shows the new selection.
    const QImage surfaceShown = OnScreen(Surface());
    frames.Reset();
    ClickWorld(Profile(), 3, -6);
    Settle();
    EXPECT_EQ(Profile().Document().Selected(), 0);
    EXPECT_TRUE(ColourAround(OnScreen(Profile()), WorldToWindow(Profile(), 3, -6), 255, 128, 128));
    EXPECT_GE(frames.Of(Profile()), 1);
    EXPECT_EQ(frames.Of(Surface()), 0);
    EXPECT_EQ(frames.Of(Path()), 0);
    EXPECT_FALSE(Surface().IsSurfaceStale());
    EXPECT_EQ(CountDifferentPixels(OnScreen(Surface()), surfaceShown), 0);
    EXPECT_TRUE(ReadOutBecomes(Expected(0, Profile().Document().ControlPoints()[0])));
    expectEveryPictureRight();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Story, ABurstOfMovesEndsAtTheLastPositionWithItsSurface)
{
    DrawVase();
    Press(IDC_SELECT_CP1);
    QTest::mousePress(&Profile(), Qt::LeftButton, {}, WorldToWindow(Profile(), 4, 6));
    Settle();
    ASSERT_EQ(Profile().Document().Selected(), 3);
    FrameCounter frames({&Profile(), &Path(), &Surface()});
    // Moves that pile up before the event loop runs, as they do while a
    // large surface is built.
    QPoint last;
    for (int i = 0; i < 30; ++i) {
        last = WorldToWindow(Profile(), 4 + 0.1 * i, 6 - 0.15 * i);
        QCoreApplication::postEvent(&Profile(), new QMouseEvent(QEvent::MouseMove, QPointF(last),
                                                                QPointF(Profile().mapToGlobal(last)),
                                                                Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
    }
    Settle();
    const CVector3 world =
        curve_square::WindowToWorld(last.x(), last.y(), Profile().Client().right, Profile().Client().bottom);
    EXPECT_EQ(Profile().Document().ControlPoints()[3].x, world.x);
    EXPECT_EQ(Profile().Document().ControlPoints()[3].y, world.y);
    EXPECT_EQ(frames.Of(Profile()), 1) << "one step for the whole burst";
    EXPECT_EQ(frames.Of(Surface()), 1);
    EXPECT_FALSE(Surface().IsSurfaceStale());
    // The surface shown is the one built from the last position.
    const QImage shown = OnScreen(Surface());
    Surface().BuildSurface(Profile().Document().SamplePoints(), Path().Document().ControlPoints(),
                           Profile().Document().ControlPoints());
    EXPECT_EQ(CountDifferentPixels(shown, GrabView(Surface())), 0);
    QTest::mouseRelease(&Profile(), Qt::LeftButton, {}, last);
    EXPECT_TRUE(ReadOutBecomes(Expected(3, Profile().Document().ControlPoints()[3])));
}
