// The tab bar and the step captions under it stay where they are whichever
// page is shown: only the page above them changes.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTabBar>

#include "ShellFixture.h"
#include "platform/RadioGroup.h"
#include "ui_TDodedaVO.h" // read by the layout generator, which does not look into ShellFixture.h

namespace fc::test {
namespace {

class Passi : public ShellTest {
protected:
    // Where the tab bar and each caption are, in the window's coordinates.
    QString geometry()
    {
        QApplication::processEvents();
        QWidget* w = window.get();
        auto place = [w](const QWidget* c) {
            const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
            return QStringLiteral("%1,%2 %3x%4 ").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        };
        QString s = QStringLiteral("tabs ") + place(f().ControllaPagine->findChild<QTabBar*>());
        for (const QWidget* m : {f().Memo1, f().Memo2, f().Memo3, f().Memo4, f().Memo5})
            if (m->isVisible())
                s += m->objectName() + u' ' + place(m);
        return s;
    }
};

TEST_F(Passi, TabBarAndCaptionsKeepTheirPlaceOnEveryPage)
{
    standardFolder(true);
    open();
    struct Case {
        int calcolo;
        QSize size;
    };
    // Cooling only (the heating page hidden), cooling + heating (all five
    // pages), at the program's size and a larger window.
    const Case cases[] = {{0, {1060, 640}}, {2, {1060, 640}}, {2, {1280, 900}}, {1, {1100, 700}}};
    window->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("mode %1 at %2x%3").arg(c.calcolo).arg(c.size.width()).arg(c.size.height()).toStdString());
        f().ControllaPagine->SetActivePageIndex(0);
        f().Calcolo->SetItemIndex(c.calcolo);
        window->resize(c.size);
        const QString first = geometry();
        TPageControl* pc = f().ControllaPagine;
        for (int i = 0; i < pc->PageCount(); ++i) {
            if (!pc->TabVisible(i))
                continue;
            pc->SetActivePageIndex(i);
            EXPECT_EQ(geometry().toStdString(), first.toStdString()) << "page " << i;
        }
        // And back on the first page, after the others were shown.
        pc->SetActivePageIndex(0);
        EXPECT_EQ(geometry().toStdString(), first.toStdString()) << "first page again";
    }
}

// The caption of the page shown is bold, the others plain, from the start
// and on every page reached, also when the same page is shown again.
TEST_F(Passi, TheCaptionOfThePageShownIsBold)
{
    standardFolder(true);
    open();
    f().Calcolo->SetItemIndex(2); // every page
    window->show();
    QPlainTextEdit* memos[5] = {f().Memo1, f().Memo2, f().Memo3, f().Memo4, f().Memo5};
    auto bold = [&memos] {
        QString s;
        for (QPlainTextEdit* m : memos) {
            m->ensurePolished();
            s += m->font().bold() ? u'B' : u'-';
        }
        return s;
    };
    EXPECT_EQ(bold(), "B----");
    TPageControl* pc = f().ControllaPagine;
    for (const int i : {1, 2, 3, 4, 4, 2, 0}) {
        pc->SetActivePageIndex(i);
        QString want(5, u'-');
        want[i] = u'B';
        EXPECT_EQ(bold(), want) << "page " << i;
    }
}

} // namespace
} // namespace fc::test
