#include "PageControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabBar>

#include "Application.h"
#include "Errors.h"

namespace {

// Runs what Qt would do for an event with the tab bar's signals blocked, so
// that the page does not follow; returns the tab Qt chose and puts the old
// one back. The change itself is made again once it is allowed. Qt's keys
// may land on a hidden tab: the move then goes on past it, as meant.
int tryTab(QTabBar* bar, const std::function<void()>& qtHandling)
{
    const int before = bar->currentIndex();
    int after = before;
    {
        QSignalBlocker block(bar);
        for (int pass = 0; pass < bar->count(); ++pass) {
            qtHandling();
            after = bar->currentIndex();
            if (after == before || after < 0 || bar->isTabVisible(after))
                break;
        }
        if (after < 0 || !bar->isTabVisible(after))
            after = before;
        if (bar->currentIndex() != before)
            bar->setCurrentIndex(before);
    }
    return after;
}

class TPageTabBar : public QTabBar {
public:
    TPageTabBar(TPageControl* owner)
        : QTabBar(owner)
        , owner_(owner)
    {
    }

protected:
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            const int target = tabAt(me->position().toPoint());
            if (me->button() == Qt::LeftButton && target >= 0 && target != currentIndex() && isTabEnabled(target)
                && isTabVisible(target)) {
                if (!owner_->UserMayChange()) {
                    e->accept();
                    return true;
                }
                bool handled = false;
                owner_->UserChange([&] { handled = QTabBar::event(e); });
                return handled;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            // Styles that select on release change the tab here.
            bool handled = false;
            owner_->UserChange([&] { handled = QTabBar::event(e); });
            return handled;
        }
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::Shortcut: {
            bool handled = false;
            const int target = tryTab(this, [&] { handled = QTabBar::event(e); });
            if (target != currentIndex() && owner_->UserMayChange())
                owner_->UserChange([&] { setCurrentIndex(target); });
            return handled;
        }
        default:
            break;
        }
        return QTabBar::event(e);
    }

private:
    TPageControl* owner_;
};

} // namespace

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent)
{
    setTabBar(new TPageTabBar(this));
    setTabPosition(QTabWidget::South);
    connect(this, &QTabWidget::currentChanged, this, [this](int) { currentPageChanged(); });
}

QWidget* TPageControl::Page(int index) const
{
    checkIndexOrRaise(index);
    return widget(index);
}

void TPageControl::SetActivePageIndex(int index)
{
    checkIndexOrRaise(index);
    setCurrentIndex(index);
}

void TPageControl::SetActivePage(QWidget* page)
{
    const int i = indexOf(page);
    if (i >= 0)
        SetActivePageIndex(i);
}

bool TPageControl::TabVisible(int index) const
{
    checkIndexOrRaise(index);
    return isTabVisible(index);
}

void TPageControl::SetTabVisible(int index, bool visible)
{
    checkIndexOrRaise(index);
    setTabVisible(index, visible);
}

bool TPageControl::UserMayChange()
{
    if (asking_)
        return false;
    bool allow = true;
    asking_ = true;
    const bool ok = fc::RunHandler([&] {
        if (OnChanging)
            OnChanging(allow);
    });
    asking_ = false;
    return ok && allow;
}

void TPageControl::UserChange(const std::function<void()>& change)
{
    ++userDepth_;
    change();
    --userDepth_;
}

void TPageControl::currentPageChanged()
{
    if (userDepth_ > 0)
        fc::RunHandler(OnChange);
}

void TPageControl::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab and Ctrl+PgUp/PgDn from anywhere on the pages.
    const int target = tryTab(tabBar(), [&] { QTabWidget::keyPressEvent(event); });
    if (target != currentIndex() && UserMayChange())
        UserChange([&] { setCurrentIndex(target); });
}

void TPageControl::checkIndexOrRaise(int index) const
{
    if (index < 0 || index >= count())
        throw EListError::IndexOutOfBounds(index);
}
