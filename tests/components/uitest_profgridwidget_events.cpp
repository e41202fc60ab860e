// The grid's focus, key-up and wheel events: when each fires and when not.

#include <QLineEdit>
#include <QWheelEvent>

#include "ProfGridWidgetSupport.h"

namespace {

class GridEvents : public GridWidgetTest {
protected:
    // A grid beside a line edit in an active window.
    void SetUp() override
    {
        GridWidgetTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(400, 300);
        grid = new TProfGridWidget(window.get());
        grid->setGeometry(0, 0, 300, 200);
        grid->SetOptions(grid->Options() + pgoEditing);
        other = new QLineEdit(window.get());
        other->setGeometry(0, 220, 100, 24);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
        grid->OnEnter = [this](TProfGrid&) { log << QStringLiteral("enter"); };
        grid->OnExit = [this](TProfGrid&) { log << QStringLiteral("exit"); };
    }
    void TearDown() override
    {
        window.reset();
        GridWidgetTest::TearDown();
    }
    void Wheel(int delta)
    {
        const QPoint at(40, 30);
        QWheelEvent e(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid->viewport(), &e);
    }

    std::unique_ptr<QWidget> window;
    TProfGridWidget* grid = nullptr;
    QLineEdit* other = nullptr;
    QStringList log;
};

TEST_F(GridEvents, EnterAndExitOnlyWhenTheFocusComesOrGoes)
{
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());
    log.clear();
    grid->setFocus();
    EXPECT_EQ(log, QStringList{"enter"});

    // The editor opening and closing moves the focus inside the grid only.
    grid->SelectCell(1, 1);
    grid->SetEditorMode(true);
    ASSERT_TRUE(grid->InplaceEditor()->hasFocus());
    grid->SetEditorMode(false);
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(log, QStringList{"enter"});

    // Leaving from the open editor: the edit ends and the grid is left.
    grid->SetEditorMode(true);
    other->setFocus();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(log, QStringList({"enter", "exit"}));

    // An application control sits beside the grid: the focus going to it
    // and back is muted too.
    grid->setFocus();
    auto* control = new QLineEdit(window.get());
    grid->OnGetEditControl = [&](TProfGrid&, int, int, QWidget*& c) { c = control; };
    log.clear();
    grid->SetEditorMode(true);
    ASSERT_TRUE(control->hasFocus());
    grid->SetEditorMode(false);
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(log, QStringList());
    grid->SetEditorMode(true);
    other->setFocus();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(log, QStringList{"exit"});
    grid->OnGetEditControl = nullptr;
}

TEST_F(GridEvents, KeyUpComesFromTheGridAndItsEditor)
{
    grid->OnKeyUp = [this](TProfGrid&, int& key, Qt::KeyboardModifiers shift) {
        log << QStringLiteral("%1%2").arg(shift & Qt::ShiftModifier ? "shift+" : "").arg(key);
    };
    grid->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(grid, &press);
    EXPECT_TRUE(log.isEmpty()) << "a press is no key-up";
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::ShiftModifier);
    QCoreApplication::sendEvent(grid, &up);
    EXPECT_EQ(log, QStringList{QStringLiteral("shift+%1").arg(int(Qt::Key_Down))});
    // A release the keyboard repeats while the key is held is no key-up.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QCoreApplication::sendEvent(grid, &repeated);
    EXPECT_EQ(log.size(), 1);

    grid->SelectCell(1, 1);
    grid->SetEditorMode(true);
    ASSERT_TRUE(grid->EditorMode());
    QKeyEvent typed(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(grid->InplaceEditor(), &typed);
    EXPECT_EQ(log.size(), 2);
    EXPECT_EQ(log.last(), QString::number(int(Qt::Key_A))) << "keys typed into the editor reach the grid";
}

TEST_F(GridEvents, EveryWheelNotchFiresItsEventAndHandledStopsTheScroll)
{
    grid->SetRowCount(30);
    grid->SetScrollBars(ssVertical);
    grid->SyncWithModel();
    bool handled = true;
    auto note = [&](const char* what) {
        return [this, what, &handled](TProfGrid&, Qt::KeyboardModifiers, const QPoint& pos, bool& h) {
            log << QStringLiteral("%1 %2,%3").arg(QLatin1String(what)).arg(pos.x()).arg(pos.y());
            h = handled;
        };
    };
    grid->OnMouseWheelDown = note("down");
    grid->OnMouseWheelUp = note("up");
    const QPoint screen = grid->viewport()->mapToGlobal(QPoint(40, 30));
    const QString at = QStringLiteral(" %1,%2").arg(screen.x()).arg(screen.y());

    Wheel(-120);
    EXPECT_EQ(log, QStringList{"down" + at});
    EXPECT_EQ(grid->TopRow(), 1) << "handled: the grid does not scroll";
    log.clear();
    Wheel(60);
    EXPECT_TRUE(log.isEmpty()) << "half a notch";
    Wheel(180);
    EXPECT_EQ(log, QStringList({"up" + at, "up" + at}));
    log.clear();

    handled = false;
    Wheel(-120);
    EXPECT_EQ(log, QStringList{"down" + at});
    EXPECT_GT(grid->TopRow(), 1) << "not handled: the grid scrolls as before";
}

} // namespace
