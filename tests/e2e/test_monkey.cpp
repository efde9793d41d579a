#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <set>
#include <sstream>

#include <QTimer>

#include "E2eSupport.h"
#include "app/PointCoordinatesDialog.h"
#include "core/SweepMesh.h"

using namespace e2e;

namespace {

// More points than this and the monkey trims them, so that every step (and
// its mesh check) stays quick under the sanitizers.
constexpr std::size_t kMaxPoints = 25;

const std::string kNegativeX = "X > 0이어야 합니다.";
const std::string kDegreeZero = "1보다 큰 값을 입력하세요.";
const std::string kNotANumber = "양의 정수를 입력하십시오.";
const std::string kTooLarge = "100 이하의 값을 입력하세요.";
const std::string kNoCoordinate = "Enter a number from -100 to 100.";

long EnvNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

bool Finite(const CVector3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

class Monkey : public DialogUser {
protected:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }

    CCurveView& AnyEditor() { return Chance(50) ? Profile() : Path(); }
    CGLView& AnyView()
    {
        switch (Uniform(0, 2)) {
        case 0: return Profile();
        case 1: return Path();
        default: return Surface();
        }
    }
    QPoint Inside(const QWindow& w) { return {Uniform(1, w.width() - 1), Uniform(1, w.height() - 1)}; }
    // Left of or above the view: where a real pointer can go while the
    // toolkit's grab keeps sending to the view.
    QPoint Outside(const QWindow& w)
    {
        return Chance(50) ? QPoint(-Uniform(1, 60), Uniform(1, w.height() - 1))
                          : QPoint(Uniform(1, w.width() - 1), -Uniform(1, 60));
    }
    // Near a control point half of the time, so that picks and drags hit.
    QPoint Target(CCurveView& view)
    {
        if (view.Document().ControlPoints().empty() || Chance(50))
            return Inside(view);
        const CVector3& p = view.Document().ControlPoints()[static_cast<std::size_t>(
            Uniform(0, static_cast<int>(view.Document().ControlPoints().size()) - 1))];
        QPoint w = WorldToWindow(view, p.x, p.y) + QPoint(Uniform(-3, 3), Uniform(-3, 3));
        w.setX(std::clamp(w.x(), 1, view.width() - 1));
        w.setY(std::clamp(w.y(), 1, view.height() - 1));
        return w;
    }

    QString DegreeText()
    {
        switch (Uniform(0, 19)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            return QString::number(Uniform(1, 6));
        case 8: case 9: return QStringLiteral("0");
        case 10: return QString::number(Uniform(7, 100));
        case 11: return QStringLiteral("101");
        case 12: return QStringLiteral("99999999999");
        case 13: return QStringLiteral("-") + QString::number(Uniform(0, 9));
        case 14: return QStringLiteral("abc");
        case 15: return QString();
        case 16: return QStringLiteral("  +") + QString::number(Uniform(1, 5)) + QStringLiteral(" ");
        case 17: return QStringLiteral("1x");
        case 18: return QStringLiteral("0003");
        default: return Garbage();
        }
    }
    // Printable text that can never parse: it starts with a letter.
    QString Garbage()
    {
        QString text(QChar('a' + Uniform(0, 25)));
        const int length = Uniform(0, 35);
        for (int i = 0; i < length; ++i)
            text += QChar(Uniform(0x20, 0x7E));
        return text;
    }

    // One random user action through real events; records what it did and
    // which messages it may show.
    void Act()
    {
        allowed.clear();
        if (Profile().Document().ControlPoints().size() > kMaxPoints) {
            action = "trim the profile";
            Press(IDC_DELETE_CP1);
            return;
        }
        if (Path().Document().ControlPoints().size() > kMaxPoints) {
            action = "trim the path";
            TypeQuickly(QString::number(Uniform(1, 6)));
            Press(IDC_RESET);
            return;
        }
        const int roll = Uniform(0, 99);
        if (roll < 2 && Profile().Document().ControlPoints().size() <= 4) {
            // Every profile point dragged to one row: a flat profile, whose
            // height range is zero.
            action = "flatten the profile";
            Press(IDC_SELECT_CP1);
            const int row = Uniform(1, Profile().height() - 1);
            for (std::size_t i = 0; i < Profile().Document().ControlPoints().size(); ++i) {
                const CVector3 p = Profile().Document().ControlPoints()[i];
                QTest::mousePress(&Profile(), Qt::LeftButton, {}, WorldToWindow(Profile(), p.x, p.y));
                const QPoint to(Uniform(1, Profile().width() - 1), row);
                QTest::mouseMove(&Profile(), to);
                QTest::mouseRelease(&Profile(), Qt::LeftButton, {}, to);
            }
        } else if (roll < 18) {
            CCurveView& view = AnyEditor();
            const QPoint p = Target(view);
            Describe("click", view, p);
            if (&view == &Profile())
                allowed.insert(kNegativeX);
            QTest::mouseClick(&view, Qt::LeftButton, {}, p);
        } else if (roll < 30) {
            CCurveView& view = AnyEditor();
            QPoint p = Target(view);
            Describe("drag", view, p);
            if (&view == &Profile())
                allowed.insert(kNegativeX);
            QTest::mousePress(&view, Qt::LeftButton, {}, p);
            for (int i = Uniform(1, 4); i > 0; --i) {
                p = Chance(85) ? Inside(view) : Outside(view);
                QTest::mouseMove(&view, p);
            }
            QTest::mouseRelease(&view, Qt::LeftButton, {}, p);
        } else if (roll < 38) {
            const Qt::MouseButton button = Chance(50) ? Qt::LeftButton : Qt::RightButton;
            QPoint p = Inside(Surface());
            Describe(button == Qt::LeftButton ? "turn" : "zoom", Surface(), p);
            QTest::mousePress(&Surface(), button, {}, p);
            for (int i = Uniform(1, 4); i > 0; --i) {
                p = Chance(80) ? Inside(Surface()) : Outside(Surface());
                QTest::mouseMove(&Surface(), p);
            }
            QTest::mouseRelease(&Surface(), button, {}, Chance(70) ? p : Outside(Surface()));
        } else if (roll < 43) {
            CGLView& view = AnyView();
            const QPoint p = Inside(view);
            Describe("hover", view, p);
            for (int i = Uniform(1, 3); i > 0; --i)
                QTest::mouseMove(&view, Inside(view));
        } else if (roll < 67) {
            static const int ids[] = {IDC_ADD_CP1,   IDC_SELECT_CP1, IDC_DELETE_CP1, IDC_DELETE_CP1,
                                      IDC_ADD_CP3,   IDC_SELECT_CP3, IDC_DELETE_CP3, IDC_SOLID,
                                      IDC_WIREFRAME, IDC_POINT,      IDC_RESET};
            const int id = ids[Uniform(0, static_cast<int>(std::size(ids)) - 1)];
            action = "button " + Button(id)->text().toStdString();
            if (id == IDC_RESET)
                allowed = {kDegreeZero, kNotANumber, kTooLarge};
            Press(id);
        } else if (roll < 79) {
            const QString text = DegreeText();
            action = "reset with \"" + text.toStdString() + "\"";
            allowed = {kDegreeZero, kNotANumber, kTooLarge};
            TypeQuickly(text);
            Press(IDC_RESET);
        } else if (roll < 82) {
            const QString text = Garbage();
            action = "enter \"" + text.toStdString() + "\"";
            allowed = {kNotANumber};
            TypeQuickly(text);
            QTest::keyClick(DegreeField(), Qt::Key_Return);
        } else if (roll < 88) {
            CCurveView& view = AnyEditor();
            const QPoint p = Target(view);
            Describe("double click", view, p);
            if (&view == &Profile())
                allowed.insert(kNegativeX);
            // On a point in select mode it opens the coordinates box.
            allowed.insert(kNoCoordinate);
            QObject scope;
            AnswerCoordinatesBox(scope);
            QTest::mouseDClick(&view, Qt::LeftButton, {}, p);
        } else if (roll < 91) {
            CCurveView& view = AnyEditor();
            const QPoint p = Target(view);
            Describe("right click", view, p);
            QTest::mouseClick(&view, Qt::RightButton, {}, p);
        } else if (roll < 94) {
            // Undo walks back over every kind of step above, redo forward.
            const bool back = Chance(60);
            action = back ? "undo" : "redo";
            if (back)
                dialog->UndoStack().undo();
            else
                dialog->UndoStack().redo();
        } else {
            static const Qt::Key keys[] = {Qt::Key_1, Qt::Key_0, Qt::Key_9, Qt::Key_X, Qt::Key_Plus,
                                           Qt::Key_Minus, Qt::Key_Space, Qt::Key_Backspace,
                                           Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                           Qt::Key_End};
            action = "keys in the degree field";
            QTest::mouseClick(DegreeField(), Qt::LeftButton);
            for (int i = Uniform(1, 5); i > 0; --i)
                QTest::keyClick(DegreeField(), keys[Uniform(0, static_cast<int>(std::size(keys)) - 1)]);
        }
    }

    // Types into the coordinates box once it is open (until `scope` goes):
    // numbers, X < 0, or garbage; OK, then Cancel if the box was refused.
    void AnswerCoordinatesBox(QObject& scope)
    {
        QTimer::singleShot(0, &scope, [this, &scope] {
            auto* box = qobject_cast<PointCoordinatesDialog*>(QApplication::activeModalWidget());
            if (!box) {
                AnswerCoordinatesBox(scope);
                return;
            }
            for (QLineEdit* field : {box->XField(), box->YField()}) {
                switch (Uniform(0, 5)) {
                case 0: field->setText(Garbage()); break;
                case 1: field->setText(QString::number(-Uniform(1, 900) / 100.0)); break;
                case 2: break;  // as shown
                default: field->setText(QString::number(Uniform(-900, 900) / 100.0)); break;
                }
            }
            action += " typing " + box->XField()->text().toStdString() + ", " + box->YField()->text().toStdString();
            box->accept();
            if (box->isVisible())
                box->reject();
        });
    }

    // Clears and types without waiting for repaints: the monkey does not
    // care whether a repaint overwrites its text.
    void TypeQuickly(const QString& text)
    {
        QLineEdit* field = DegreeField();
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    void Describe(const char* what, const QWindow& view, QPoint p)
    {
        const char* name = &view == &Profile() ? "profile" : &view == &Path() ? "path" : "surface";
        std::ostringstream out;
        out << what << " " << name << " at " << p.x() << "," << p.y() << " (mode "
            << (&view == &Profile() ? static_cast<int>(Profile().Document().Mode()) : &view == &Path() ? static_cast<int>(Path().Document().Mode()) : 0) << ")";
        action = out.str();
    }

    void CheckEditor(const CCurveView& view, bool profile)
    {
        SCOPED_TRACE(profile ? "profile" : "path");
        const int n = static_cast<int>(view.Document().ControlPoints().size());
        EXPECT_TRUE(view.Document().Selected() >= -1 && view.Document().Selected() < n) << view.Document().Selected() << " of " << n;
        EXPECT_EQ(view.Document().Selected() == -1, n == 0) << "a selection exists exactly while points do";
        const std::size_t samples = n < 2 ? 0u : static_cast<std::size_t>(10 * n - 9);
        EXPECT_EQ(view.Document().SamplePoints().size(), samples);
        EXPECT_EQ(view.Document().SampleParams().size(), samples);
        for (const CVector3& p : view.Document().ControlPoints()) {
            EXPECT_TRUE(Finite(p));
            EXPECT_EQ(p.z, 0.0);
            if (profile) {
                EXPECT_GE(p.x, 0.0);
            }
        }
        for (const CVector3& p : view.Document().SamplePoints())
            EXPECT_TRUE(Finite(p));
        if (samples > 0) {
            EXPECT_EQ(view.Document().SampleParams().front(), 0.0f);
            EXPECT_EQ(view.Document().SampleParams().back(), 1.0f);
        }
    }

    void CheckMesh()
    {
        const auto strips = ComputeSweepMesh(Profile().Document().SamplePoints(), Path().Document().ControlPoints(),
                                             Profile().Document().ControlPoints());
        const std::size_t n = Profile().Document().ControlPoints().size();
        const std::size_t m = Path().Document().ControlPoints().size();
        if (Profile().Document().SamplePoints().empty() || m == 0) {
            EXPECT_TRUE(strips.empty());
            return;
        }
        ASSERT_EQ(strips.size(), 24u);
        const std::size_t rings = 10 * std::max(n, m) - 9;
        int bad = 0;
        for (const auto& strip : strips) {
            EXPECT_EQ(strip.size(), 2 * rings);
            for (const SweepVertex& v : strip)
                if (!std::isfinite(v.s) || !std::isfinite(v.t) || !Finite(v.normal) ||
                    !Finite(v.position) || v.s < 0.0f || v.s > 1.0f)
                    ++bad;
        }
        EXPECT_EQ(bad, 0) << "vertices with a non-finite number";
    }

    void CheckDialog(std::size_t boxesBefore)
    {
        EXPECT_TRUE(dialog->isVisible()) << "the dialog must stay open";
        QWidget* modal = QApplication::activeModalWidget();
        EXPECT_EQ(modal, nullptr) << (modal ? modal->metaObject()->className() : "");
        if (modal)
            modal->close();
        for (std::size_t i = boxesBefore; i < boxes.boxes.size(); ++i)
            EXPECT_EQ(allowed.count(boxes.boxes[i].text), 1u) << "unexpected box " << boxes.boxes[i].text;
        const CTrackball& ball = Surface().Trackball();
        EXPECT_TRUE(std::isfinite(ball.Distance()));
        EXPECT_GE(ball.Distance(), 2.0f - 1e-4f);
        for (int i = 0; i < 16; ++i)
            EXPECT_TRUE(std::isfinite(ball.Matrix()[i]));
        CVector3 point{};
        const int index = Profile().Document().GetSelectedPoint(point);
        const QString expected = index < 0 ? QStringLiteral("Selected CP :") : Expected(index, point);
        EXPECT_TRUE(ReadOutBecomes(expected)) << ReadOut().toStdString() << " instead of " << expected.toStdString();
    }

    std::mt19937 rng;
    std::string action;
    std::set<std::string> allowed;
};

TEST_F(Monkey, RandomUseKeepsEveryInvariant)
{
    const unsigned seed = static_cast<unsigned>(EnvNumber("VELMORA_MONKEY_SEED", 20240611));
    const long steps = EnvNumber("VELMORA_MONKEY_STEPS", 3000);
    rng.seed(seed);
    RecordProperty("seed", static_cast<int>(seed));

    std::deque<std::string> history;
    long done = 0;
    int grabs = 0;
    // How often the cases that once gave non-finite numbers came up.
    int onePointPath = 0, ringOnAxis = 0, flatProfile = 0;
    for (; done < steps; ++done) {
        const std::size_t boxesBefore = boxes.boxes.size();
        Act();
        QCoreApplication::processEvents();
        history.push_back(std::to_string(done) + ": " + action);
        if (history.size() > 12)
            history.pop_front();

        CheckEditor(Profile(), true);
        CheckEditor(Path(), false);
        CheckMesh();
        CheckDialog(boxesBefore);
        if (!Profile().Document().SamplePoints().empty()) {
            onePointPath += Path().Document().ControlPoints().size() == 1;
            bool onAxis = false, flat = true;
            for (const CVector3& p : Profile().Document().ControlPoints()) {
                onAxis = onAxis || p.x == 0.0;
                flat = flat && p.y == Profile().Document().ControlPoints()[0].y;
            }
            ringOnAxis += onAxis;
            flatProfile += flat;
        }
        // Now and then, what the user sees: with no surface, the axes alone.
        if (done % 100 == 99) {
            ++grabs;
            if (Profile().Document().SamplePoints().empty() || Path().Document().ControlPoints().empty()) {
                EXPECT_EQ(TakeCensus(GrabView(Surface())).surface, 0);
            }
        }
        if (HasFailure()) {
            std::string trail;
            for (const std::string& line : history)
                trail += "\n  " + line;
            ADD_FAILURE() << "seed " << seed << ", last actions:" << trail;
            break;
        }
        if (boxes.boxes.size() > 1000)
            boxes.boxes.clear();
    }
    std::printf("monkey: %ld steps (seed %u), %d grabs, %zu boxes kept; steps with a "
                "one-point path %d, a profile point on the axis %d, a flat profile %d\n",
                done, seed, grabs, boxes.boxes.size(),
                onePointPath, ringOnAxis, flatProfile);
}

} // namespace
